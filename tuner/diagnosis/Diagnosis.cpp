#include "Diagnosis.h"

#include "HostDiagnosis.h"
#include "OfficeHost.h"
#include "RunningObjects.h"
#include "TunerDiagnosis.h"

Diagnosis Diagnose()
{
    Diagnosis diagnosis;
    const RunningObjectSurvey running = SurveyRunningObjects(kRunningObjectEntryLimitMs);
    diagnosis.settled = running.settled;

    const bool previousTunerRegistered = IsPreviousTunerRegistered();
    for (const OfficeHost& host : kOfficeHosts)
        diagnosis.report.sections.push_back(DiagnoseHost(host, running, previousTunerRegistered));
    diagnosis.report.sections.push_back(DiagnoseTuner());
    diagnosis.report.sections.push_back(DiagnoseShellExtension());
    diagnosis.report.sections.push_back(
        DiagnoseRunningObjects(running, kRunningObjectEntryLimitMs));
    return diagnosis;
}
