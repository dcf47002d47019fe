#pragma once

// Everything the report says about one host: which Office versions are
// installed and what decided each probe, whether the host is offered, the
// add-in record and how Office will read it, the add-in's COM registration
// in the view Office reads, the previous generation, the host's semaphore
// and its running instances.

#include "OfficeHost.h"
#include "Report.h"
#include "RunningObjects.h"

ReportSection DiagnoseHost(const OfficeHost& host, const RunningObjectSurvey& running,
                           bool previousTunerRegistered);
