#include "OfficeInstallation.h"

#include <windows.h>

#include <string>

namespace standin {

namespace {

void CreateKey(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) == ERROR_SUCCESS)
        RegCloseKey(key);
}

void SetText(HKEY root, const std::string& path, const char* name, const std::string& text)
{
    RegSetKeyValueA(root, path.c_str(), name, REG_SZ, text.c_str(),
                    static_cast<DWORD>(text.size() + 1));
}

}  // namespace

void SimulateInstallation(const char* officeKey, const char* version)
{
    const std::string host = officeKey;
    const std::string office = std::string("Software\\Microsoft\\Office\\") + version + "\\";

    // FrontPage registers its editor class and keeps editor settings; the
    // later versions add their Office key.
    if (host == "FrontPage") {
        CreateKey(HKEY_CLASSES_ROOT, "CLSID\\{04DF1015-7007-11D1-83BC-006097ABE675}");
        CreateKey(HKEY_CURRENT_USER,
                  "Software\\Microsoft\\FrontPage\\Editor\\FrontPage Editor\\Settings");
        if (std::string(version) != "9.0")
            CreateKey(HKEY_CURRENT_USER, office + "FrontPage");
        return;
    }

    SetText(HKEY_LOCAL_MACHINE, office + host + "\\InstallRoot", "Path",
            "C:\\Programme\\Microsoft Office\\");
    // What the first start leaves for the user.
    if (host == "Outlook")
        SetText(HKEY_CURRENT_USER, office + host, "Settings", "");
    else
        CreateKey(HKEY_CURRENT_USER, office + host + (host == "Word" ? "\\Data" : "\\Options"));
}

}  // namespace standin
