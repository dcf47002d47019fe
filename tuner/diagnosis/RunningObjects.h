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
    std::vector<RunningInstance> instances;
    std::vector<DeadEntry> dead;
    // Entries that did not answer within their limit: whose they are is
    // unknown, so while there is one no host is known not to run. (One that
    // said which host it is but not its version is an instance as well.)
    std::vector<std::wstring> unanswered;
    int otherEntries = 0;        // live entries of other programs
    // False while a call into an entry that did not answer still waits.
    bool settled = true;
};

// Walks the table, giving each entry at most `entryLimitMs` to hand out its
// object, say which host it is and tell its version, on threads of its own
// (the calling thread never holds an entry's object, whose release would be
// a call into its program as well); threads whose entry does not answer are
// left to end by themselves, and the walk goes on with the next entry.
// Unless the survey is settled, the process must then end without running
// its static destructors (those threads may still use what they destroy).
// Call on a thread with COM initialised.
RunningObjectSurvey SurveyRunningObjects(DWORD entryLimitMs);
