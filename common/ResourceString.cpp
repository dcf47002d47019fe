#include "ResourceString.h"

#include "TextConversion.h"

std::string LoadResourceString(HINSTANCE module, UINT id)
{
    // With a buffer size of 0, LoadStringW hands out a read-only pointer to
    // the resource itself, which is not zero-terminated.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text)
        return std::string();
    return ToNarrow(std::wstring(text, length).c_str());
}
