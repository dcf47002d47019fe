// qbsetup.exe beside a program whose thread has stopped answering (hung, or
// stopped in a debugger) and whose entry is in the running-object table:
// asking it costs a call the bound on calls into other programs, never more,
// and the tuner goes on with what comes after it.

#include "EndToEndFixture.h"

#include "ComPtr.h"
#include "OutgoingCallBound.h"
#include "QBSetup_h.h"
#include "QuickCallBound.h"
#include "ServerProcess.h"

namespace {

class HungProgramTest : public EndToEndTest {
protected:
    // COM starts the tests' qbsetup.exe, which gives a call up after
    // kQuickCallBoundMs.
    static void ServeWithTheQuickBound()
    {
        ASSERT_EQ(RunProgram("\"" + BinaryFolder() + "quick-bound\\qbsetup.exe\" -RegServer").exitCode,
                  0u);
    }
    // An application in the running-object table that takes no calls.
    void StartHung(const std::string& name, const char* host) const
    {
        Configure(name, "version = 10.0\nhung = 1\n");
        StartRunning(name, host);
    }
};

// The hung entry comes first in the table; the running Word after it is found.
TEST_F(HungProgramTest, AHungEntryDoesNotKeepTheTunerFromTheWordBehindIt)
{
    ServeWithTheQuickBound();
    InstallHost(HostId::Word, OfficeVersion::V10);
    StartHung("Hung", "Word");
    Configure("Live", "version = 10.0\naddins = Quillbar.QBWordAddin.2\n");
    StartRunning("Live", "Word");

    EXPECT_EQ(RunScript(SwitchScript("Microsoft Word", 1)), "Microsoft Word 1\r\n");
    EXPECT_NE(State("Live").find("Quillbar.QBWordAddin.2: connected"), std::string::npos)
        << State("Live");
    EXPECT_TRUE(AddinRecordExists(HostId::Word));
}

// The only Excel hangs: switching it ends with the record written, and the
// same server goes on to serve the next client, which switches Word.
TEST_F(HungProgramTest, AHungExcelEndsItsSwitchAndTheServerServesTheNextClient)
{
    ServeWithTheQuickBound();
    InstallHost(HostId::Excel, OfficeVersion::V10);
    InstallHost(HostId::Word, OfficeVersion::V10);
    StartHung("Excel1", "Excel");
    Configure("Word", "version = 10.0\naddins = Quillbar.QBWordAddin.2\n");
    ComPtr<IQuillbarTuner> holder;  // one server for both clients
    ASSERT_EQ(CoCreateInstance(CLSID_QuillbarTuner, nullptr, CLSCTX_LOCAL_SERVER,
                               IID_IQuillbarTuner, holder.PutVoid()),
              S_OK);

    EXPECT_EQ(RunScript(SwitchScript("Microsoft Excel", 1)), "Microsoft Excel 1\r\n");
    EXPECT_TRUE(AddinRecordExists(HostId::Excel));
    EXPECT_EQ(RunScript(SwitchScript("Microsoft Word", 1)), "Microsoft Word 1\r\n");
    EXPECT_NE(State("Word").find("Quillbar.QBWordAddin.2: connected"), std::string::npos)
        << State("Word");
    EXPECT_EQ(CountServerProcesses(), 1);
}

// The shipped bound, once: "-D" ends beside a hung entry (it used to wait for
// ever), having waited for it, and switches the Word it then starts off.
TEST_F(HungProgramTest, RemovingEveryAddinEndsBesideAHungEntry)
{
    InstallHost(HostId::Word, OfficeVersion::V10);
    EnableAddin(HostId::Word);
    StartHung("Hung", "Word");
    Configure("Word", "version = 10.0\naddins = Quillbar.QBWordAddin.2\n"
                      "connected = Quillbar.QBWordAddin.2\n");

    const DWORD start = GetTickCount();
    const ProgramRun run = RunProgram("\"" + QbsetupPath() + "\" -D", kOutgoingCallBoundMs + kPatienceMs);
    const DWORD elapsed = GetTickCount() - start;
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_GE(elapsed, kOutgoingCallBoundMs) << "the hung entry was asked, and waited for";
    EXPECT_FALSE(AddinRecordExists(HostId::Word));
    EXPECT_NE(State("Word").find("Quillbar.QBWordAddin.2: not connected"), std::string::npos)
        << State("Word");
    std::printf("-D beside a hung entry ended after %lu ms\n", elapsed);
}

}  // namespace
