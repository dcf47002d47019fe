#pragma once

// What the report says once, beside the hosts: the tuner's own COM
// registration, the previous generation's tuner, the shell extension in each
// registry view, the product's folder settings with the .sci entries they
// give, and the running-object table as a whole.

#include "Report.h"
#include "RunningObjects.h"

// The previous generation's tuner class has a server registered, so the
// dialog can ask it to switch that generation off.
bool IsPreviousTunerRegistered();

ReportSection DiagnoseTuner();
ReportSection DiagnoseShellExtension();
ReportSection DiagnoseRunningObjects(const RunningObjectSurvey& survey, DWORD entryLimitMs);
