#include "RegistryText.h"

#include "TextConversion.h"

#include <cstdio>
#include <cstring>

bool HasTwoRegistryViews()
{
    if (sizeof(void*) == 8)
        return true;
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::string RegistryValue::Text() const
{
    std::string text(data.begin(), data.end());
    return text.substr(0, text.find('\0'));
}

DWORD RegistryValue::Number() const
{
    DWORD number = 0;
    if (IsNumber())
        memcpy(&number, data.data(), sizeof number);
    return number;
}

std::wstring RegistryValue::Describe() const
{
    if (!present)
        return L"fehlt";
    if (IsText() || type == REG_MULTI_SZ)
        return Quoted(Text()) + L" (" + TypeName(type) + L")";
    if (IsNumber())
        return std::to_wstring(Number()) + L" (REG_DWORD)";
    return TypeName(type) + L", " + std::to_wstring(data.size()) + L" Bytes";
}

RegistryValue ReadValue(const RegistryKey& key, const char* name)
{
    RegistryValue value;
    if (!key.IsOpen())
        return value;
    // The value may grow between the two reads; then it is read again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD size = 0;
        if (RegQueryValueExA(key.Handle(), name ? name : "", nullptr, &value.type, nullptr,
                             &size) != ERROR_SUCCESS)
            return RegistryValue();
        value.data.resize(size);
        const LONG result = RegQueryValueExA(key.Handle(), name ? name : "", nullptr,
                                             &value.type, value.data.data(), &size);
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS)
            return RegistryValue();
        value.data.resize(size);
        value.present = true;
        return value;
    }
    return RegistryValue();
}

std::vector<std::string> ValueNames(const RegistryKey& key)
{
    std::vector<std::string> names;
    if (!key.IsOpen())
        return names;
    // At the registry's own limit, 16,383 characters, two bytes each in a
    // double-byte code page: the longest name the key reports counts
    // characters, and a narrow buffer of that size would stop the listing at
    // a name that takes more bytes, hiding every value after it.
    std::vector<char> name(2 * 16383 + 1);
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumValueA(key.Handle(), index, name.data(), &length, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name.data(), length);
    }
    return names;
}

std::wstring TypeName(DWORD type)
{
    switch (type) {
    case REG_NONE: return L"REG_NONE";
    case REG_SZ: return L"REG_SZ";
    case REG_EXPAND_SZ: return L"REG_EXPAND_SZ";
    case REG_BINARY: return L"REG_BINARY";
    case REG_DWORD: return L"REG_DWORD";
    case REG_MULTI_SZ: return L"REG_MULTI_SZ";
    case REG_QWORD: return L"REG_QWORD";
    }
    return L"Typ " + std::to_wstring(type);
}

namespace {

// HKLM\Software and HKCR\CLSID are the parts that differ between the views.
std::wstring ViewText(HKEY root, const std::string& path, REGSAM view)
{
    const bool twoViews = root == HKEY_LOCAL_MACHINE ||
                          (root == HKEY_CLASSES_ROOT && _strnicmp(path.c_str(), "CLSID\\", 6) == 0);
    if (!twoViews || !HasTwoRegistryViews())
        return std::wstring();
    const bool sixtyFour = (view & KEY_WOW64_64KEY) ||
                           (sizeof(void*) == 8 && !(view & KEY_WOW64_32KEY));
    return sixtyFour ? L" (64-Bit-Ansicht)" : L" (32-Bit-Ansicht)";
}

std::wstring PathText(HKEY root, const std::string& path)
{
    const wchar_t* rootText = root == HKEY_LOCAL_MACHINE  ? L"HKLM\\"
                              : root == HKEY_CLASSES_ROOT ? L"HKCR\\"
                                                          : L"HKCU\\";
    return rootText + ToWide(path);
}

}  // namespace

std::wstring KeyName(HKEY root, const std::string& path, REGSAM view)
{
    return PathText(root, path) + ViewText(root, path, view);
}

std::wstring ValueName(HKEY root, const std::string& path, const char* value, REGSAM view)
{
    return PathText(root, path) + L" [" +
           (value && *value ? ToWide(value) : std::wstring(L"(Standard)")) + L"]" +
           ViewText(root, path, view);
}

std::wstring Quoted(const std::string& text)
{
    constexpr std::size_t kLongest = 300;
    std::wstring shown;
    for (wchar_t c : ToWide(text.substr(0, kLongest))) {
        if (c < 0x20 || c == 0x7F) {
            wchar_t escaped[8];
            swprintf(escaped, 8, L"\\x%02X", static_cast<unsigned>(c));
            shown += escaped;
        } else {
            shown += c;
        }
    }
    std::wstring quoted = L"\"" + shown + L"\"";
    if (text.size() > kLongest)
        quoted += L"... (" + std::to_wstring(text.size()) + L" Zeichen)";
    return quoted;
}
