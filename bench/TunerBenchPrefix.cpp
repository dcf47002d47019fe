#include "TunerBenchPrefix.h"

#include "AddinRecord.h"
#include "OfficeHost.h"
#include "OfficeInstallation.h"
#include "ProgramRun.h"
#include "ScratchRegistry.h"
#include "ServerProcess.h"

namespace {

const HostId kSwitchedOn[] = {HostId::Word, HostId::Excel};

std::string Quoted(const std::string& program)
{
    return "\"" + BinaryFolder() + program + "\"";
}

// What the simulated installation and the add-in records wrote.
void RemoveOfficeState()
{
    reg::DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Office\\10.0", KEY_WOW64_32KEY);
    reg::DeleteTree(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\10.0");
    for (HostId id : kSwitchedOn) {
        const OfficeHost& host = Host(id);
        reg::DeleteTree(HKEY_CURRENT_USER, AddinKeyPath(host.officeKey, host.addinProgId));
    }
    reg::DeleteTree(HKEY_CURRENT_USER, "Software\\Microsoft\\FrontPage");
    reg::DeleteTree(HKEY_CLASSES_ROOT, "CLSID\\{04DF1015-7007-11D1-83BC-006097ABE675}",
                    KEY_WOW64_32KEY);
}

}  // namespace

TunerBenchPrefix::TunerBenchPrefix()
{
    EndProcesses(kTunerImage);
    EndProcesses(kBareImage);
    for (const OfficeHost& host : kOfficeHosts)
        standin::SimulateInstallation(host.officeKey, "10.0");
    for (HostId id : kSwitchedOn) {
        const OfficeHost& host = Host(id);
        reg::SetString(HKEY_CURRENT_USER, AddinKeyPath(host.officeKey, host.addinProgId),
                       "FileName", "C:\\Programme\\TALVO\\Quillbar\\addin.dll");
        reg::SetDword(HKEY_CURRENT_USER, AddinKeyPath(host.officeKey, host.addinProgId),
                      "LoadBehavior", 3);
    }
    const ProgramRun tuner = RunProgram(Quoted(kTunerImage) + " -RegServer");
    if (!tuner.finished || tuner.exitCode != 0)
        error_ = "qbsetup.exe -RegServer failed";
    const ProgramRun bare = RunProgram(Quoted(kBareImage) + " --register");
    if (!bare.finished || bare.exitCode != 0)
        error_ = "bare_tuner_server.exe --register failed";
}

TunerBenchPrefix::~TunerBenchPrefix()
{
    EndProcesses(kTunerImage);
    EndProcesses(kBareImage);
    RunProgram(Quoted(kTunerImage) + " -UnregServer");
    RunProgram(Quoted(kBareImage) + " --unregister");
    RemoveOfficeState();
}
