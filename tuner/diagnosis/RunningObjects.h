#pragma once

// The running-object table as the tuner meets it: which of its entries are
// Office hosts of the host table, with the version each reports, and which
// entries do not answer. Only QueryInterface and the Version property are
// asked of an instance.

#include "OfficeHost.h"

#include <windows.h>

#include <string>
#include <vector>

struct RunningInstance {
    HostId host = HostId::Word;
    std::wstring entry;    // the moniker's display name
    bool versionRead = false;
    std::string version;   // when read
    HRESULT versionResult = S_OK;
};

struct DeadEntry {
    std::wstring entry;
    HRESULT result;  // of getting the object or of asking it
};

struct RunningObjectSurvey {
    HRESULT tableResult = S_OK;  // E_FAIL: the table could not be read
    bool complete = true;        // false: an entry did not answer in time
    std::wstring stuckEntry;     // the entry being asked when time ran out
    std::vector<RunningInstance> instances;
    std::vector<DeadEntry> dead;
    int otherEntries = 0;        // live entries of other programs
};

// Walks the table on a thread of its own, so that an instance that hangs
// cannot hang the report: after `timeoutMs` the survey so far is returned
// (complete false) and the walk is left to end with the process, which must
// then end without running its static destructors (the walk may still use
// what they destroy).
RunningObjectSurvey SurveyRunningObjects(DWORD timeoutMs);
