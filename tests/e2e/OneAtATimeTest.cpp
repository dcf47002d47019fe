// qbsetup.exe under load from several clients at once, against stand-in
// Office applications in processes of their own, and a running-object table
// with a dead entry in it.

#include "EndToEndFixture.h"

#include "ComPtr.h"
#include "HostInstance.h"
#include "QBSetup_h.h"
#include "ServerProcess.h"
#include "TestThread.h"
#include "WindowDriver.h"

#include <sstream>

namespace {

// Each client mixes reads with switching PowerPoint on, which it tries at
// every fourth call until one switch is answered (each switch-on builds the
// whole menu and toolbar again), and tallies how its calls ended: answered,
// refused as busy, or failed otherwise, into a file of its own (the script's
// first argument). Each client runs a copy of the script of its own: this
// Wine's cscript opens its script without sharing, and one that finds the
// file open in another cscript ends at once with exit code 0, having run
// nothing and written nothing.
constexpr int kClients = 8;
constexpr int kCallsPerClient = 200;
constexpr char kClientScript[] = R"(
var tuner;
try {
    tuner = new ActiveXObject("QBSetup.QuillbarTuner");
} catch (e) {
    WScript.Echo("not created " + (e.number >>> 0).toString(16));
    WScript.Quit(1);
}
var answered = 0, refused = 0, failed = 0, switched = 0;
for (var i = 0; i < 200; i++) {
    try {
        switch (i % 4) {
        case 0: var count = tuner.Count; break;
        case 1: var name = tuner.Name(0); break;
        case 2: var enabled = tuner.Enabled(0); break;
        case 3:
            if (switched) { var again = tuner.Enabled(0); break; }
            tuner.Enabled(0) = 1; switched++; break;
        }
        answered++;
    } catch (e) {
        if ((e.number >>> 0) == 0x80010001) refused++;
        else { failed++; WScript.Echo("error " + (e.number >>> 0).toString(16)); }
    }
}
var tally = new ActiveXObject("Scripting.FileSystemObject").CreateTextFile(WScript.Arguments(0), true);
tally.WriteLine(answered + " " + refused + " " + failed + " " + switched);
tally.Close();
)";

struct Tally {
    int answered = -1;
    int refused = -1;
    int failed = -1;
    int switched = -1;
};

Tally ReadTally(const std::string& output)
{
    Tally tally;
    std::istringstream lines(output);
    std::string last;
    for (std::string line; std::getline(lines, line);)
        last = line;
    std::istringstream(last) >> tally.answered >> tally.refused >> tally.failed >> tally.switched;
    return tally;
}

// The runs in a host's journal, each from the Version its installer asks
// first to the Quit it ends with. A run that starts inside another shows as
// a Version before the Quit.
struct Runs {
    std::vector<std::vector<std::string>> whole;
    int nested = 0;
    int unfinished = 0;
};

Runs SplitIntoRuns(const std::vector<std::string>& journal)
{
    Runs runs;
    std::vector<std::string> current;
    bool inRun = false;
    for (const std::string& call : journal) {
        if (call == "Application[PowerPoint].Version") {
            if (inRun)
                ++runs.nested;
            inRun = true;
            current.clear();
        }
        current.push_back(call);
        if (inRun && call == "Application[PowerPoint].Quit()") {
            runs.whole.push_back(current);
            inRun = false;
        }
    }
    runs.unfinished = inRun ? 1 : 0;
    return runs;
}

// PowerPoint, as Office's single instance, slow while the toolbar is added
// and handling other calls meanwhile as a cross-process wait does.
TEST_F(EndToEndTest, ManyClientsAtOnceGetOneRunAtATime)
{
    InstallHost(HostId::PowerPoint, OfficeVersion::V10);
    Configure("PowerPoint", "version = 10.0\naddins = Quillbar.QBPowerPointAddin.2\n"
                            "shared = 1\nslow = CommandBars.Add 300\n");
    // One PowerPoint and one server for all: both run before the clients come.
    CLSID powerPointClass = {};
    ASSERT_EQ(CLSIDFromProgID(L"PowerPoint.Application.11", &powerPointClass), S_OK);
    ComPtr<IUnknown> powerPoint;
    ASSERT_EQ(CoCreateInstance(powerPointClass, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                               powerPoint.PutVoid()),
              S_OK);
    ComPtr<IQuillbarTuner> holder;
    ASSERT_EQ(CoCreateInstance(CLSID_QuillbarTuner, nullptr, CLSCTX_LOCAL_SERVER,
                               IID_IQuillbarTuner, holder.PutVoid()),
              S_OK);

    std::vector<ProgramRun> runs(kClients);
    std::vector<std::string> scripts, tallies;
    for (int i = 0; i < kClients; ++i) {
        scripts.push_back(folder_.Write("client" + std::to_string(i) + ".js", kClientScript));
        tallies.push_back(folder_ / ("tally" + std::to_string(i) + ".txt"));
    }
    const DWORD start = GetTickCount();
    {
        std::vector<Thread> clients;
        for (int i = 0; i < kClients; ++i)
            clients.push_back(StartThread([&, i] {
                runs[i] = RunProgram(std::string(kScriptHost) + " \"" + scripts[i] + "\" \"" +
                                     tallies[i] + "\"");
            }));
        for (Thread& client : clients)
            client.Join();
    }
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(CountServerProcesses(), 1) << "one server for every client";
    EXPECT_EQ(CountProcesses("office_standin.exe"), 1) << "one PowerPoint";
    holder.Reset();
    powerPoint.Reset();

    int answered = 0, refused = 0, switched = 0;
    for (int i = 0; i < kClients; ++i) {
        ASSERT_TRUE(runs[i].finished) << "client " << i;
        const Tally tally = ReadTally(ReadWholeFile(tallies[i]));
        EXPECT_EQ(tally.answered + tally.refused, kCallsPerClient)
            << "client " << i << " ended with " << std::hex << runs[i].exitCode << std::dec
            << ": " << runs[i].output;
        EXPECT_EQ(tally.failed, 0) << runs[i].output;
        answered += tally.answered;
        refused += tally.refused;
        switched += tally.switched;
    }

    // The switches came at the same time: some were refused as busy.
    EXPECT_GT(refused, 0) << "no switch came while another ran";
    // Every switch that was answered ran whole, one after the other; all
    // runs after the first found what the one before built, and did the same.
    const Runs powerPointRuns = SplitIntoRuns(Journal("PowerPoint"));
    EXPECT_EQ(powerPointRuns.nested, 0);
    EXPECT_EQ(powerPointRuns.unfinished, 0);
    EXPECT_EQ(static_cast<int>(powerPointRuns.whole.size()), switched);
    for (std::size_t i = 2; i < powerPointRuns.whole.size(); ++i)
        EXPECT_EQ(powerPointRuns.whole[i], powerPointRuns.whole[1]) << "run " << i;
    const std::string state = State("PowerPoint");
    EXPECT_EQ(ChildLines(state, "[TALVO6_QB_MENU]").size(), 17u) << state;
    EXPECT_EQ(ChildLines(state, "\"TALVO6 Quillbar\"").size(), 18u) << state;

    EXPECT_TRUE(WaitForNoServer()) << "the server ends by itself afterwards";
    std::printf("%d clients x %d calls in %lu ms: %d answered (%d switches, each run whole, "
                "%zu calls per run), %d refused as busy\n",
                kClients, kCallsPerClient, elapsed, answered, switched,
                powerPointRuns.whole.empty() ? std::size_t(0) : powerPointRuns.whole.back().size(),
                refused);
}

// The Excel versions in the running-object table, in its order.
std::vector<std::string> RunningExcels()
{
    std::vector<std::string> versions;
    VisitRunningObjects(Host(HostId::Excel).applicationIid, [&](AutomationObject excel) {
        versions.push_back(excel.GetText("Version"));
        return true;
    });
    return versions;
}

// A stand-in Excel that registered and dies as soon as the tuner calls it,
// with a live Excel after it in the table: the live one is still switched.
TEST_F(EndToEndTest, ExcelThatDiesAfterTheListingLeavesTheOneBehindItSwitched)
{
    InstallHost(HostId::Excel, OfficeVersion::V10);
    Configure("Dying", "version = 10.0\naddins = Quillbar.QBExcelAddin.2\n"
                       "dies = Application.COMAddIns\n");
    Configure("Live", "version = 11.0\naddins = Quillbar.QBExcelAddin.2\n");
    StartRunning("Dying", "Excel");
    StartRunning("Live", "Excel");
    ASSERT_EQ(RunningExcels(), (std::vector<std::string>{"10.0", "11.0"}));

    EXPECT_EQ(RunScript(SwitchScript("Microsoft Excel", 1)), "Microsoft Excel 1\r\n");
    EXPECT_NE(State("Live").find(": connected"), std::string::npos) << State("Live");
    // Asked by the listing above, then by the tuner, which it died under next.
    EXPECT_EQ(Journal("Dying"),
              std::vector<std::string>(2, "Application[Excel].Version"));
    EXPECT_EQ(RunningExcels(), std::vector<std::string>{"11.0"}) << "its entry has gone with it";
}

// While one qbsetup applies (its progress window shown, waiting for a busy
// add-in), no other process of the session applies: a second qbsetup hands
// over to the progress window and ends, a client's Enabled put is refused as
// busy, "-D" is refused with that answer as its exit code; the first apply
// then ends as it would have.
TEST_F(EndToEndTest, OneApplyAtATimeAcrossProcesses)
{
    constexpr int kWordBox = 1000;
    InstallHost(HostId::Word, OfficeVersion::V10);
    Configure("Word", "version = 10.0\naddins = Quillbar.QBWordAddin.2\n");
    EnableAddin(HostId::Word);
    StartBusyAddin("Word", 3);
    HWND dialog = OpenSetupDialog();
    ASSERT_TRUE(dialog);
    ClickCheckBox(dialog, kWordBox);
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitForWindow("#32770", "Achtung!")) << "the first apply waits for the add-in";
    EXPECT_EQ(WindowText(dialog), "Quillbar: Aktualisieren der \xDC" "bersetzungsmodule...");

    const KernelHandle second = StartProgram("\"" + QbsetupPath() + "\"");
    ASSERT_TRUE(second);
    const bool secondEnded = WaitForSingleObject(second.Get(), kPatienceMs) == WAIT_OBJECT_0;
    if (!secondEnded)
        TerminateProcess(second.Get(), 1);
    EXPECT_TRUE(secondEnded) << "a second qbsetup stayed open beside the progress window";

    EXPECT_EQ(RunScript("var tuner = new ActiveXObject(\"QBSetup.QuillbarTuner\");\n"
                        "try { tuner.Enabled(0) = 0; WScript.Echo(\"switched\"); }\n"
                        "catch (e) { WScript.Echo(\"refused \" + (e.number >>> 0).toString(16)); }\n"),
              "refused 80010001\r\n");
    const ProgramRun remover = Qbsetup("-D");
    ASSERT_TRUE(remover.finished);
    EXPECT_EQ(remover.exitCode, 0x80010001u);
    EXPECT_TRUE(AddinRecordExists(HostId::Word)) << "nothing applied beside the first";

    LetBusyAddinGo("Word");
    ASSERT_TRUE(WaitForQbsetup());
    EXPECT_FALSE(AddinRecordExists(HostId::Word));
}

}  // namespace
