#include "TunerBenchPrefix.h"

#include "AddinRecord.h"
#include "OfficeHost.h"
#include "OfficeInstallation.h"
#include "ProgramRun.h"
#include "ScratchRegistry.h"
#include "ServerProcess.h"

#include <utility>
#include <vector>

namespace {

const HostId kSwitchedOn[] = {HostId::Word, HostId::Excel};

std::string Quoted(const std::string& program)
{
    return "\"" + BinaryFolder() + program + "\"";
}

// Every key the simulated installation and the add-in records may create,
// each parent before its children.
std::vector<TunerBenchPrefix::Key> KeysWeMayCreate()
{
    std::vector<TunerBenchPrefix::Key> keys = {
        {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Office", KEY_WOW64_32KEY},
        {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Office\\10.0", KEY_WOW64_32KEY},
        {HKEY_CURRENT_USER, "Software\\Microsoft\\Office", 0},
        {HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\10.0", 0},
        {HKEY_CURRENT_USER, "Software\\Microsoft\\FrontPage", 0},
        {HKEY_CLASSES_ROOT, "CLSID\\{04DF1015-7007-11D1-83BC-006097ABE675}", KEY_WOW64_32KEY},
    };
    for (HostId id : kSwitchedOn) {
        const OfficeHost& host = Host(id);
        keys.push_back(
            {HKEY_CURRENT_USER, std::string("Software\\Microsoft\\Office\\") + host.officeKey, 0});
        keys.push_back({HKEY_CURRENT_USER, AddinKeyPath(host.officeKey, host.addinProgId), 0});
    }
    return keys;
}

}  // namespace

TunerBenchPrefix::TunerBenchPrefix()
{
    EndProcesses(kTunerImage);
    EndProcesses(kBareImage);
    for (Key& key : KeysWeMayCreate())
        if (!reg::KeyExists(key.root, key.path, key.view))
            created_.push_back(std::move(key));
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
    for (const Key& key : created_)
        reg::DeleteTree(key.root, key.path, key.view);
}
