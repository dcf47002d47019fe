#pragma once

// The whole report: the five hosts in the host table's order, then the
// tuner, the shell extension and the running-object table. Reads only.

#include "Report.h"

#include <windows.h>

// How long each entry of the running-object table may take to hand out its
// object, say which host it is and tell its version.
inline constexpr DWORD kRunningObjectEntryLimitMs = 5000;

struct Diagnosis {
    Report report;
    bool settled = true;  // false: a call into an entry that did not answer still waits
};

// Call on a thread with COM initialised.
Diagnosis Diagnose();
