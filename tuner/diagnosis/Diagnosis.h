#pragma once

// The whole report: the five hosts in the host table's order, then the
// tuner, the shell extension and the running-object table. Reads only.

#include "Report.h"

#include <windows.h>

// How long the running-object table may take to answer, in all.
inline constexpr DWORD kRunningObjectsTimeoutMs = 5000;

struct Diagnosis {
    Report report;
    bool settled = true;  // false: a walk over the running objects is still under way
};

// Call on a thread with COM initialised.
Diagnosis Diagnose();
