#include "DeviceNames.h"

#include "PathHelpers.h"
#include "TextConversion.h"

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool IsDriveLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool SameName(const std::wstring& name, const wchar_t* reserved)
{
    return _wcsicmp(name.c_str(), reserved) == 0;
}

// "\\.\", "\\?\" (either slash) or "\??\", and what follows it.
bool InDeviceNamespace(const std::string& path, std::wstring& rest)
{
    const bool win32Device = path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
                             (path[2] == '.' || path[2] == '?') && IsSeparator(path[3]);
    const bool ntDevice = path.compare(0, 4, "\\??\\") == 0;
    if (!win32Device && !ntDevice)
        return false;
    rest = ToWide(path.substr(4));
    return true;
}

// A drive ("C:\...", "C:" alone) or the network ("UNC\server\...").
bool LeadsToFiles(const std::wstring& rest)
{
    if (rest.size() >= 2 && IsDriveLetter(rest[0]) && rest[1] == L':' &&
        (rest.size() == 2 || rest[2] == L'\\' || rest[2] == L'/'))
        return true;
    return rest.size() >= 4 && _wcsnicmp(rest.c_str(), L"UNC", 3) == 0 &&
           (rest[3] == L'\\' || rest[3] == L'/');
}

// The DOS device names, which Windows finds in any folder and before any
// extension; for COM and LPT also with the superscript digits.
bool IsReservedName(std::wstring name)
{
    name = name.substr(0, name.find_first_of(L".:"));
    while (!name.empty() && name.back() == L' ')
        name.pop_back();
    for (const wchar_t* reserved : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
        if (SameName(name, reserved))
            return true;
    }
    if (name.size() != 4 || !(_wcsnicmp(name.c_str(), L"COM", 3) == 0 ||
                              _wcsnicmp(name.c_str(), L"LPT", 3) == 0))
        return false;
    return std::wstring(L"123456789\u00B9\u00B2\u00B3").find(name[3]) != std::wstring::npos;
}

}  // namespace

bool NamesADevice(const std::string& path)
{
    std::wstring rest;
    if (InDeviceNamespace(path, rest) && !LeadsToFiles(rest))
        return true;
    // The last part: after the last separator, or after a drive ("C:NUL").
    const std::string::size_type separator = FindLastCharacter(path, "\\/");
    std::string::size_type start = separator == std::string::npos ? 0 : separator + 1;
    if (start == 0 && path.size() >= 2 && IsDriveLetter(static_cast<unsigned char>(path[0])) &&
        path[1] == ':')
        start = 2;
    return IsReservedName(ToWide(path.substr(start)));
}
