#pragma once

// Looking at what an installer run left: the host's add-in record (read with
// plain registry calls) and the journal.

#include "AddinRecord.h"
#include "Journal.h"
#include "OfficeHost.h"
#include "ScratchRegistry.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

// Expected journals, one call a line, put together from parts.
using Lines = std::vector<std::string>;

inline Lines Join(std::initializer_list<Lines> parts)
{
    Lines joined;
    for (const Lines& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

// The calls that make an application re-read the add-in records and switch
// the add-in: `connect` is how the journal shows the value set.
inline Lines SwitchingAddin(const std::string& host, const std::string& progId,
                            const std::string& connect)
{
    return {"Application[" + host + "].COMAddIns", "COMAddIns.Update()",
            "COMAddIns.Item(\"" + progId + "\")",
            "COMAddIn[" + progId + "].Connect = " + connect};
}

inline std::string RecordPath(HostId host)
{
    return AddinKeyPath(Host(host).officeKey, Host(host).addinProgId);
}

inline bool RecordExists(HostId host)
{
    return reg::KeyExists(HKEY_CURRENT_USER, RecordPath(host));
}

// A record as an earlier switch-on left it.
inline void WriteRecord(HostId host)
{
    reg::SetString(HKEY_CURRENT_USER, RecordPath(host), "FileName", "");
}

// Whether the record existed each time the stand-in was asked for `call`
// ("Object.Member"), just before the call took effect.
inline std::shared_ptr<std::vector<bool>> RecordSeenAt(standin::Journal& journal,
                                                       const std::string& call, HostId host)
{
    auto seen = std::make_shared<std::vector<bool>>();
    journal.Observe(call, [seen, host] { seen->push_back(RecordExists(host)); });
    return seen;
}
