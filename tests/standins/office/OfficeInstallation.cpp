#include "OfficeInstallation.h"

#include <windows.h>

#include <string>

namespace standin {

namespace {

// Office's installer is a 32-bit program: its HKLM and HKCR keys land in the
// 32-bit view; the user's keys are in HKCU, which both views share. (HKCR is
// written in this 32-bit program's own view, which is the 32-bit one: an
// explicit view would take HKCR past a test's scratch registry.)
HKEY CreateKey(HKEY root, const std::string& path)
{
    const REGSAM view = root == HKEY_LOCAL_MACHINE ? KEY_WOW64_32KEY : 0;
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

void CreateAndClose(HKEY root, const std::string& path)
{
    if (HKEY key = CreateKey(root, path))
        RegCloseKey(key);
}

void SetText(HKEY root, const std::string& path, const char* name, const std::string& text)
{
    if (HKEY key = CreateKey(root, path)) {
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
        RegCloseKey(key);
    }
}

}  // namespace

void SimulateInstallation(const char* officeKey, const char* version)
{
    const std::string host = officeKey;
    const std::string office = std::string("Software\\Microsoft\\Office\\") + version + "\\";

    // FrontPage registers its editor class and keeps editor settings; the
    // later versions add their Office key.
    if (host == "FrontPage") {
        CreateAndClose(HKEY_CLASSES_ROOT, "CLSID\\{04DF1015-7007-11D1-83BC-006097ABE675}");
        CreateAndClose(HKEY_CURRENT_USER,
                       "Software\\Microsoft\\FrontPage\\Editor\\FrontPage Editor\\Settings");
        if (std::string(version) != "9.0")
            CreateAndClose(HKEY_CURRENT_USER, office + "FrontPage");
        return;
    }

    SetText(HKEY_LOCAL_MACHINE, office + host + "\\InstallRoot", "Path",
            "C:\\Programme\\Microsoft Office\\");
    // What the first start leaves for the user.
    if (host == "Outlook")
        SetText(HKEY_CURRENT_USER, office + host, "Settings", "");
    else
        CreateAndClose(HKEY_CURRENT_USER,
                       office + host + (host == "Word" ? "\\Data" : "\\Options"));
}

}  // namespace standin
