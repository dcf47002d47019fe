#include "HostDetection.h"

#include "AddinRecord.h"
#include "RegistryKey.h"
#include "RegistryViews.h"

#include <cstring>
#include <string>

namespace {

// Belongs to the translator's installation: one string per host code, and the
// default value for FrontPage as a whole.
constexpr char kOfferingKey[] = "CLSID\\{ACFD160E-CA51-4CC7-9828-4FA7EEC1FF70}\\MiscStatus";

// Keys every FrontPage version needs, in the order they are tried.
constexpr const char* kFrontPageSharedKeys[] = {
    "CLSID\\{04DF1015-7007-11D1-83BC-006097ABE675}",                // under HKCR
    "Software\\Microsoft\\FrontPage\\Editor\\FrontPage Editor\\Settings",  // under HKCU
};

std::string OfficeKeyPath(OfficeVersion version, const char* officeKey)
{
    return std::string("Software\\Microsoft\\Office\\") + VersionText(version) + "\\" + officeKey;
}

// Office's installer and the product's write HKLM and HKCR keys in the
// 32-bit view; the user's keys are in HKCU, which both views share.
REGSAM ReadAccess(HKEY root)
{
    return root == HKEY_CURRENT_USER ? KEY_READ : KEY_READ | kInstallationView;
}

bool KeyOpens(HKEY root, const std::string& path)
{
    RegistryKey key;
    return key.Open(root, path, ReadAccess(root));
}

// HKLM\Software\Microsoft\Office\<V>\<officeKey>\InstallRoot has a non-empty "Path".
bool HasInstallRoot(const OfficeHost& host, OfficeVersion version)
{
    RegistryKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, OfficeKeyPath(version, host.officeKey) + "\\InstallRoot",
                  ReadAccess(HKEY_LOCAL_MACHINE)))
        return false;
    return !key.QueryString("Path").empty();
}

bool HasOutlookSettings(OfficeVersion version)
{
    RegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, OfficeKeyPath(version, "Outlook"), KEY_READ))
        return false;
    // Only the value's existence counts; its type and contents do not.
    return key.QueryValueInfo("Settings", nullptr, nullptr);
}

bool HasFrontPageKeys(OfficeVersion version)
{
    if (!KeyOpens(HKEY_CLASSES_ROOT, kFrontPageSharedKeys[0]) ||
        !KeyOpens(HKEY_CURRENT_USER, kFrontPageSharedKeys[1]))
        return false;
    // FrontPage 2000 needs no more than the shared keys.
    return version == OfficeVersion::V9 ||
           KeyOpens(HKEY_CURRENT_USER, OfficeKeyPath(version, "FrontPage"));
}

}  // namespace

bool IsHostVersionInstalled(const OfficeHost& host, OfficeVersion version)
{
    switch (host.probe) {
    case InstallProbe::InstallRootAndUserKey:
        return HasInstallRoot(host, version) &&
               KeyOpens(HKEY_CURRENT_USER,
                        OfficeKeyPath(version, host.officeKey) + "\\" + host.userKey);
    case InstallProbe::InstallRootAndSettings:
        return HasInstallRoot(host, version) && HasOutlookSettings(version);
    case InstallProbe::FrontPageKeys:
        return HasFrontPageKeys(version);
    }
    return false;
}

bool IsHostInstalled(const OfficeHost& host)
{
    for (OfficeVersion version : host.installedProbeOrder)
        if (IsHostVersionInstalled(host, version))
            return true;
    return false;
}

bool IsAddinEnabled(const std::string& officeKey, const std::string& progId)
{
    RegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, AddinKeyPath(officeKey, progId), KEY_READ))
        return false;
    DWORD type = REG_NONE;
    DWORD size = 0;
    return key.QueryValueInfo("FileName", &type, &size) && type == REG_SZ && size > 0;
}

bool IsHostOffered(const std::string& hostCode)
{
    RegistryKey key;
    if (!key.Open(HKEY_CLASSES_ROOT, kOfferingKey, ReadAccess(HKEY_CLASSES_ROOT)))
        return true;
    return key.QueryString(hostCode.c_str()) != "1";
}

bool IsFrontPageOffered()
{
    RegistryKey key;
    if (!key.Open(HKEY_CLASSES_ROOT, kOfferingKey, KEY_QUERY_VALUE | kInstallationView))
        return true;
    return key.QueryString(nullptr, "0") != "1";
}
