#include "TextConversion.h"

#include <windows.h>

#include <climits>

std::wstring ToWide(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0);
    std::wstring wide(length > 0 ? length : 0, L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            length);
    return wide;
}

std::string ToNarrow(const wchar_t* text)
{
    if (!text || !*text)
        return std::string();
    const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return std::string();
    std::string narrow(length - 1, '\0');  // the count includes the terminator
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

bool ToNarrowExactly(const std::wstring& text, std::string& narrow)
{
    narrow.clear();
    if (text.empty())
        return true;
    if (text.size() > static_cast<size_t>(INT_MAX))
        return false;
    const int size = static_cast<int>(text.size());
    // UTF-8 as the ANSI code page takes neither the flag nor the question;
    // the comparison at the end finds what it cannot hold.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const askUsedDefault = utf8 ? nullptr : &usedDefault;
    const int length = WideCharToMultiByte(CP_ACP, flags, text.data(), size, nullptr, 0, nullptr,
                                           askUsedDefault);
    if (length <= 0 || usedDefault)
        return false;
    std::string converted(static_cast<size_t>(length), '\0');
    if (WideCharToMultiByte(CP_ACP, flags, text.data(), size, converted.data(), length, nullptr,
                            askUsedDefault) != length ||
        usedDefault || ToWide(converted) != text)
        return false;
    narrow.swap(converted);
    return true;
}
