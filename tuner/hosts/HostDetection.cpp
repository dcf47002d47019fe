#include "HostDetection.h"

#include "AddinRecord.h"
#include "RegistryKey.h"
#include "RegistryViews.h"

#include <string>
#include <utility>

namespace {

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
REGSAM ViewOf(HKEY root)
{
    return root == HKEY_CURRENT_USER ? 0 : kInstallationView;
}

ProbeCheck Check(ProbeCheck::Test test, HKEY root, std::string path, const char* value = nullptr)
{
    return {test, root, std::move(path), value, ViewOf(root)};
}

// HKLM\Software\Microsoft\Office\<V>\<officeKey>\InstallRoot has a non-empty "Path".
ProbeCheck InstallRoot(const OfficeHost& host, OfficeVersion version)
{
    return Check(ProbeCheck::Test::StringNotEmpty, HKEY_LOCAL_MACHINE,
                 OfficeKeyPath(version, host.officeKey) + "\\InstallRoot", "Path");
}

}  // namespace

std::vector<ProbeCheck> VersionProbeChecks(const OfficeHost& host, OfficeVersion version)
{
    using Test = ProbeCheck::Test;
    switch (host.probe) {
    case InstallProbe::InstallRootAndUserKey:
        return {InstallRoot(host, version),
                Check(Test::KeyOpens, HKEY_CURRENT_USER,
                      OfficeKeyPath(version, host.officeKey) + "\\" + host.userKey)};
    case InstallProbe::InstallRootAndSettings:
        // Only the value's existence counts; its type and contents do not.
        return {InstallRoot(host, version),
                Check(Test::ValueExists, HKEY_CURRENT_USER, OfficeKeyPath(version, host.officeKey),
                      "Settings")};
    case InstallProbe::FrontPageKeys: {
        std::vector<ProbeCheck> checks = {
            Check(Test::KeyOpens, HKEY_CLASSES_ROOT, kFrontPageSharedKeys[0]),
            Check(Test::KeyOpens, HKEY_CURRENT_USER, kFrontPageSharedKeys[1])};
        // FrontPage 2000 needs no more than the shared keys.
        if (version != OfficeVersion::V9)
            checks.push_back(
                Check(Test::KeyOpens, HKEY_CURRENT_USER, OfficeKeyPath(version, host.officeKey)));
        return checks;
    }
    }
    return {};
}

bool ProbeCheckHolds(const ProbeCheck& check)
{
    RegistryKey key;
    if (!key.Open(check.root, check.path, KEY_READ | check.view))
        return false;
    switch (check.test) {
    case ProbeCheck::Test::KeyOpens:
        return true;
    case ProbeCheck::Test::StringNotEmpty:
        return !key.QueryString(check.value).empty();
    case ProbeCheck::Test::ValueExists:
        return key.QueryValueInfo(check.value, nullptr, nullptr);
    }
    return false;
}

bool IsHostVersionInstalled(const OfficeHost& host, OfficeVersion version)
{
    for (const ProbeCheck& check : VersionProbeChecks(host, version))
        if (!ProbeCheckHolds(check))
            return false;
    return true;
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
    if (!key.Open(HKEY_CLASSES_ROOT, kOfferingKey, KEY_READ | kInstallationView))
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
