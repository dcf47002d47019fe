#include "QbsetupFixture.h"

#include "AddinRecord.h"
#include "OfficeInstallation.h"
#include "ScratchRegistry.h"

QbsetupTest::QbsetupTest()
{
    RemoveTestState();
}

QbsetupTest::~QbsetupTest()
{
    Qbsetup("-UnregServer");
    RemoveTestState();
}

void QbsetupTest::RemoveTestState()
{
    for (const char* version : {"9.0", "10.0", "11.0"})
        reg::DeleteTree(HKEY_LOCAL_MACHINE, std::string("Software\\Microsoft\\Office\\") + version,
                        KEY_WOW64_32KEY);
    reg::DeleteTree(HKEY_CURRENT_USER, "Software\\Microsoft\\Office");
    reg::DeleteTree(HKEY_CURRENT_USER, "Software\\Talvoworks");
    reg::DeleteTree(HKEY_CURRENT_USER, "Software\\Microsoft\\FrontPage");
    reg::DeleteTree(HKEY_CLASSES_ROOT, "CLSID\\{04DF1015-7007-11D1-83BC-006097ABE675}",
                    KEY_WOW64_32KEY);
}

std::string QbsetupTest::QbsetupPath()
{
    return BinaryFolder() + "qbsetup.exe";
}

ProgramRun QbsetupTest::Qbsetup(const std::string& arguments)
{
    return RunProgram("\"" + QbsetupPath() + "\" " + arguments);
}

void QbsetupTest::InstallHost(HostId id, OfficeVersion version)
{
    standin::SimulateInstallation(Host(id).officeKey, VersionText(version));
}

void QbsetupTest::EnableAddin(HostId id)
{
    const OfficeHost& host = Host(id);
    reg::SetString(HKEY_CURRENT_USER, AddinKeyPath(host.officeKey, host.addinProgId), "FileName",
                   "C:\\Addins\\addin.dll");
    reg::SetDword(HKEY_CURRENT_USER, AddinKeyPath(host.officeKey, host.addinProgId),
                  "LoadBehavior", 3);
}

bool QbsetupTest::AddinRecordExists(HostId id)
{
    const OfficeHost& host = Host(id);
    return reg::KeyExists(HKEY_CURRENT_USER, AddinKeyPath(host.officeKey, host.addinProgId));
}
