#pragma once

// The five Office applications the tuner works on, and everything that
// differs between them, in one table.

#include <windows.h>

#include <array>
#include <cstddef>

// Office generations probed. FrontPage's 9.0 generation is FrontPage 2000,
// whose probe differs from its later versions (see HostDetection.cpp).
enum class OfficeVersion { V9, V10, V11 };

const char* VersionText(OfficeVersion version);  // "9.0", "10.0", "11.0"

// How a host's installation is detected.
enum class InstallProbe {
    InstallRootAndUserKey,  // HKLM ...\InstallRoot "Path", HKCU ...\<userKey>
    InstallRootAndSettings, // HKLM ...\InstallRoot "Path", HKCU "Settings" value
    FrontPageKeys,          // a chain of keys that must all open
};

struct OfficeHost {
    const char* code;               // offering value name: "ww", "ex", ...
    const char* displayName;        // shown to the user
    const char* officeKey;          // name inside Office registry paths
    int dialogControlId;            // check box in the setup dialog
    const char* addinProgId;        // current generation
    const char* previousAddinProgId;
    const char* addinDescription;   // friendly name and description of the record
    std::array<const char*, 3> automationProgIds;  // tried in order; null = unused
    IID applicationIid;             // asked of running or created instances
    InstallProbe probe;
    const char* userKey;            // per-user key under Office\<V>\<officeKey>
    std::array<OfficeVersion, 3> installedProbeOrder;
    // The installer works on command bars: the user is asked before the
    // clipboard is emptied for it, and it is emptied again after a switch-on.
    bool touchesClipboard;
    // The installation can forbid switching the host (IsFrontPageOffered).
    bool hasOfferGate;
    int (*install)(bool enable);    // the host's installer (Installers.h)
};

enum class HostId { Word, Excel, PowerPoint, FrontPage, Outlook };

// In the order the setup dialog applies changes: Word, Excel, PowerPoint,
// FrontPage, Outlook.
extern const std::array<OfficeHost, 5> kOfficeHosts;

inline const OfficeHost& Host(HostId id)
{
    return kOfficeHosts[static_cast<std::size_t>(id)];
}

inline HostId IdOf(const OfficeHost& host)
{
    return static_cast<HostId>(&host - kOfficeHosts.data());
}

// The order in which the setup dialog reads the hosts' states, the old
// generation is looked for and the silent remover works.
inline constexpr HostId kHostsExcelFirst[] = {HostId::Excel, HostId::Word, HostId::PowerPoint,
                                              HostId::FrontPage, HostId::Outlook};
