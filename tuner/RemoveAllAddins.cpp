#include "RemoveAllAddins.h"

#include "HostDetection.h"
#include "OfficeHost.h"
#include "RegistryKey.h"
#include "SessionApplyLock.h"

namespace {

constexpr char kTunerSettingsKey[] = "Software\\Talvoworks\\TLVO6\\Quillbar";

}  // namespace

bool RemoveAllAddins()
{
    const SessionApplyLock applying;
    if (!applying.Taken())
        return false;
    for (HostId id : kHostsExcelFirst) {
        const OfficeHost& host = Host(id);
        if (!IsHostInstalled(host) || !IsAddinEnabled(host.officeKey, host.addinProgId))
            continue;
        try {
            host.install(false);
        } catch (...) {
            // The next host follows whatever happened to this one.
        }
    }

    RegistryKey settings;
    if (settings.Open(HKEY_CURRENT_USER, kTunerSettingsKey, KEY_ALL_ACCESS))
        settings.Delete(true);
    return true;
}
