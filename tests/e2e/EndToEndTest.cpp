// qbsetup.exe switching add-ins in stand-in Office applications that run in
// processes of their own: every call crosses a process boundary, as with
// Office itself.

#include "EndToEndFixture.h"

#include "ScratchRegistry.h"
#include "ServerProcess.h"
#include "UniqueHandle.h"
#include "WindowDriver.h"

#include <algorithm>

namespace {

constexpr int kPowerPointBox = 1002, kFrontPageBox = 1003;

int CountContaining(const std::vector<std::string>& lines, const std::string& text)
{
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find(text) != std::string::npos;
    }));
}

// The menu popup's entries and the toolbar's controls in a host's state.
struct Bars {
    std::vector<std::string> menu;
    std::vector<std::string> toolbar;
    bool hasToolbar;
};

Bars BarsOf(const std::string& state)
{
    return {ChildLines(state, "[TALVO6_QB_MENU]"), ChildLines(state, "\"TALVO6 Quillbar\""),
            state.find("\"TALVO6 Quillbar\"") != std::string::npos};
}

// Checks a built menu or toolbar: every button has its face, the switch is last.
void ExpectBuilt(const std::vector<std::string>& controls, std::size_t size, bool togglePressed,
                 const char* what)
{
    ASSERT_EQ(controls.size(), size) << what;
    const int buttons = CountContaining(controls, "button ");
    EXPECT_EQ(CountContaining(controls, "face 16x16"), buttons) << what;
    EXPECT_NE(controls.back().find("QUILLBAR]"), std::string::npos) << what;
    EXPECT_EQ(controls.back().find("pressed") != std::string::npos, togglePressed) << what;
}

const char kDialogHosts[] = "version = 11.0\naddins = Quillbar.QBPowerPointAddin.2\n";

TEST_F(EndToEndTest, DialogBuildsAndRemovesPowerPointAndFrontPageBars)
{
    InstallHost(HostId::PowerPoint, OfficeVersion::V11);
    InstallHost(HostId::FrontPage, OfficeVersion::V10);
    Configure("PowerPoint", kDialogHosts);
    Configure("FrontPage", "addins = Quillbar.QBFrontPageAddin.2\n");

    HWND dialog = OpenSetupDialog();
    ASSERT_TRUE(dialog);
    ClickCheckBox(dialog, kPowerPointBox);
    ClickCheckBox(dialog, kFrontPageBox);
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitForQbsetup());

    const std::string powerPoint = State("PowerPoint");
    const Bars powerPointBars = BarsOf(powerPoint);
    ExpectBuilt(powerPointBars.menu, 17, true, "PowerPoint menu");
    ExpectBuilt(powerPointBars.toolbar, 18, false, "PowerPoint toolbar");
    EXPECT_NE(powerPoint.find("Quillbar.QBPowerPointAddin.2: connected"), std::string::npos);
    EXPECT_NE(powerPoint.find("Quit called 1 time"), std::string::npos);

    const std::string frontPage = State("FrontPage");
    const Bars frontPageBars = BarsOf(frontPage);
    ExpectBuilt(frontPageBars.menu, 16, true, "FrontPage menu");
    ExpectBuilt(frontPageBars.toolbar, 17, true, "FrontPage toolbar");
    EXPECT_TRUE(AddinRecordExists(HostId::PowerPoint));
    EXPECT_TRUE(AddinRecordExists(HostId::FrontPage));

    // Open again: both boxes are on now; switching them off removes the bars.
    dialog = OpenSetupDialog();
    ASSERT_TRUE(dialog);
    ClickCheckBox(dialog, kPowerPointBox);
    ClickCheckBox(dialog, kFrontPageBox);
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitForQbsetup());

    for (const char* host : {"PowerPoint", "FrontPage"}) {
        const std::string state = State(host);
        EXPECT_EQ(state.find("TALVO6"), std::string::npos) << state;
        EXPECT_NE(state.find(": not connected"), std::string::npos) << state;
    }
    EXPECT_FALSE(AddinRecordExists(HostId::PowerPoint));
    EXPECT_FALSE(AddinRecordExists(HostId::FrontPage));
}

TEST_F(EndToEndTest, TunerSwitchesWordRunningAndStartedByTheCall)
{
    InstallHost(HostId::Word, OfficeVersion::V10);
    Configure("Word1", "version = 10.0\nwindow = 1\naddins = Quillbar.QBWordAddin.2\n"
                       "templates = Normal.dot, C:\\Vorlagen\\TQBARSV6.DOT, tqbarsv6.dot.bak\n");
    StartRunning("Word1", "Word");

    EXPECT_EQ(RunScript(SwitchScript("Microsoft Word", 1)), "Microsoft Word 1\r\n");
    std::string word = State("Word1");
    EXPECT_NE(word.find("Quillbar.QBWordAddin.2: connected"), std::string::npos) << word;
    const auto journal = Journal("Word1");
    EXPECT_EQ(CountContaining(journal, "Documents.Add(missing, missing, missing, 0:I2)"), 1);
    EXPECT_EQ(CountContaining(journal, "Document.Close(missing, missing, missing)"), 1);

    EXPECT_EQ(RunScript(SwitchScript("Microsoft Word", 0)), "Microsoft Word 0\r\n");
    word = State("Word1");
    EXPECT_NE(word.find(": not connected"), std::string::npos) << word;
    EXPECT_EQ(word.find("template C:\\Vorlagen\\TQBARSV6.DOT"), std::string::npos) << word;
    EXPECT_EQ(word.find("tqbarsv6.dot.bak"), std::string::npos) << "both entries go";
    EXPECT_NE(word.find("template Normal.dot"), std::string::npos);
    EXPECT_NE(word.find("Quit called 0 time"), std::string::npos) << "a running Word stays";

    // Without a running Word, the call starts one and quits it.
    EndProcesses("office_standin.exe");
    Configure("Word", "version = 9.0\naddins = Quillbar.QBWordAddin.2\n");
    EXPECT_EQ(RunScript(SwitchScript("Microsoft Word", 1)), "Microsoft Word 1\r\n");
    word = State("Word");
    EXPECT_NE(word.find("Quillbar.QBWordAddin.2: connected"), std::string::npos) << word;
    EXPECT_NE(word.find("Quit called 1 time"), std::string::npos) << word;
}

TEST_F(EndToEndTest, TunerSwitchesEveryRunningExcel)
{
    InstallHost(HostId::Excel, OfficeVersion::V9);
    Configure("Excel1", "version = 9.0\naddins = Quillbar.QBExcelAddin.2\n");
    Configure("Excel2", "version = 10.0\naddins = Quillbar.QBExcelAddin.2\n");
    Configure("Excel3", "version = 12.0\naddins = Quillbar.QBExcelAddin.2\n");
    StartRunning("Excel1", "Excel");
    StartRunning("Excel2", "Excel");
    StartRunning("Excel3", "Excel");

    EXPECT_EQ(RunScript(SwitchScript("Microsoft Excel", 1)), "Microsoft Excel 1\r\n");
    for (const char* excel : {"Excel1", "Excel2"})
        EXPECT_NE(State(excel).find(": connected"), std::string::npos) << excel;
    EXPECT_NE(State("Excel3").find(": not connected"), std::string::npos) << "a later Excel";
    EXPECT_EQ(Journal("Excel3"), std::vector<std::string>{"Application[Excel].Version"});
}

TEST_F(EndToEndTest, TunerSwitchesOutlookWithAndWithoutAnExplorer)
{
    InstallHost(HostId::Outlook, OfficeVersion::V10);
    Configure("Outlook1", "version = 10.0\nexplorer = 1\naddins = Quillbar.QBOutlookAddin.2\n");
    StartRunning("Outlook1", "Outlook");
    EXPECT_EQ(RunScript(SwitchScript("Microsoft Outlook", 1)), "Microsoft Outlook 1\r\n");
    std::string outlook = State("Outlook1");
    EXPECT_NE(outlook.find(": connected"), std::string::npos) << outlook;
    EXPECT_NE(outlook.find("explorer on Inbox, active"), std::string::npos) << outlook;
    EXPECT_NE(outlook.find("Quit called 0 time"), std::string::npos) << outlook;

    // Outlook not running: started, an explorer opened on the Inbox, closed,
    // and quit; the add-in is registered, not connected.
    EndProcesses("office_standin.exe");
    Configure("Outlook", "version = 11.0\naddins = Quillbar.QBOutlookAddin.2\n");
    EXPECT_EQ(RunScript(SwitchScript("Microsoft Outlook", 0)), "Microsoft Outlook 0\r\n");
    outlook = State("Outlook");
    EXPECT_NE(outlook.find("explorer on Inbox, closed"), std::string::npos) << outlook;
    EXPECT_NE(outlook.find("Quit called 1 time"), std::string::npos) << outlook;
}

TEST_F(EndToEndTest, RemoverSwitchesEveryHostOff)
{
    for (const OfficeHost& host : kOfficeHosts)
        InstallHost(IdOf(host), OfficeVersion::V10);
    Configure("Word1", "version = 10.0\naddins = Quillbar.QBWordAddin.2\nconnected = Quillbar.QBWordAddin.2\n");
    Configure("Excel1", "version = 10.0\naddins = Quillbar.QBExcelAddin.2\nconnected = Quillbar.QBExcelAddin.2\n");
    Configure("Outlook1", "version = 10.0\nexplorer = 1\naddins = Quillbar.QBOutlookAddin.2\nconnected = Quillbar.QBOutlookAddin.2\n");
    Configure("PowerPoint", "version = 11.0\naddins = Quillbar.QBPowerPointAddin.2\n"
                            "connected = Quillbar.QBPowerPointAddin.2\n");
    Configure("FrontPage", "addins = Quillbar.QBFrontPageAddin.2\nconnected = Quillbar.QBFrontPageAddin.2\n");
    StartRunning("Word1", "Word");
    StartRunning("Excel1", "Excel");
    StartRunning("Outlook1", "Outlook");
    for (const OfficeHost& host : kOfficeHosts)
        EnableAddin(IdOf(host));
    reg::SetString(HKEY_CURRENT_USER, "Software\\Talvoworks\\TLVO6\\Quillbar", "x", "y");

    const ProgramRun run = Qbsetup("-D");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    for (const OfficeHost& host : kOfficeHosts)
        EXPECT_FALSE(AddinRecordExists(IdOf(host))) << host.officeKey;
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, "Software\\Talvoworks\\TLVO6\\Quillbar"));
    for (const char* name : {"Word1", "Excel1", "Outlook1", "PowerPoint", "FrontPage"})
        EXPECT_NE(State(name).find(": not connected"), std::string::npos) << name << State(name);
}

TEST_F(EndToEndTest, DialogWaitsForABusyAddinBeforeSwitchingItsHostOff)
{
    InstallHost(HostId::PowerPoint, OfficeVersion::V10);
    Configure("PowerPoint", kDialogHosts);
    EnableAddin(HostId::PowerPoint);
    StartBusyAddin("PowerPoint", 3);

    HWND dialog = OpenSetupDialog();
    ASSERT_TRUE(dialog);
    ClickCheckBox(dialog, kPowerPointBox);
    PressButton(dialog, IDOK);
    HWND wait = WaitForWindow("#32770", "Achtung!");
    ASSERT_TRUE(wait) << "the busy-wait dialog";
    EXPECT_NE(ControlText(wait, 1009).find("Microsoft PowerPoint"), std::string::npos);
    EXPECT_FALSE(Exists("PowerPoint.state")) << "PowerPoint is not touched while the add-in works";
    LetBusyAddinGo("PowerPoint");
    EXPECT_TRUE(WaitForWindowGone(wait)) << "it closes once the add-in lets go";
    ASSERT_TRUE(WaitForQbsetup());
    EXPECT_TRUE(Exists("PowerPoint.released"));
    EXPECT_FALSE(AddinRecordExists(HostId::PowerPoint));
    EXPECT_NE(State("PowerPoint").find(": not connected"), std::string::npos);
}

// Another program holds Excel's lock name with an event: no add-in's
// semaphore, so nothing to wait for. The apply ends by itself and Excel is
// switched off.
TEST_F(EndToEndTest, DialogSwitchesExcelOffWhenItsLockNameIsTakenByAnotherKindOfObject)
{
    constexpr int kExcelBox = 1001;
    InstallHost(HostId::Excel, OfficeVersion::V10);
    EnableAddin(HostId::Excel);
    const KernelHandle squatter(CreateEventA(nullptr, TRUE, FALSE, "Quillbar.Global.Semaphore.Excel"));
    ASSERT_TRUE(squatter);

    HWND dialog = OpenSetupDialog();
    ASSERT_TRUE(dialog);
    ClickCheckBox(dialog, kExcelBox);
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitForQbsetup()) << "the apply waits for a lock that is none";
    EXPECT_FALSE(AddinRecordExists(HostId::Excel));
}

// One apply of all five hosts through the dialog, timed, with the calls
// that crossed into the hosts counted.
TEST_F(EndToEndTest, DialogSwitchesAllFiveHostsOn)
{
    for (const OfficeHost& host : kOfficeHosts)
        InstallHost(IdOf(host), OfficeVersion::V10);
    Configure("Word1", "version = 10.0\nwindow = 1\naddins = Quillbar.QBWordAddin.2\n");
    Configure("Excel1", "version = 10.0\naddins = Quillbar.QBExcelAddin.2\n");
    Configure("Outlook1", "version = 10.0\nexplorer = 1\naddins = Quillbar.QBOutlookAddin.2\n");
    Configure("PowerPoint", kDialogHosts);
    Configure("FrontPage", "addins = Quillbar.QBFrontPageAddin.2\n");
    StartRunning("Word1", "Word");
    StartRunning("Excel1", "Excel");
    StartRunning("Outlook1", "Outlook");

    HWND dialog = OpenSetupDialog();
    ASSERT_TRUE(dialog);
    for (const OfficeHost& host : kOfficeHosts)
        ClickCheckBox(dialog, host.dialogControlId);
    const DWORD start = GetTickCount();
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitForQbsetup());
    const DWORD elapsed = GetTickCount() - start;

    std::size_t calls = 0;
    std::size_t lookups = 0;
    for (const char* name : {"Word1", "Excel1", "Outlook1", "PowerPoint", "FrontPage"}) {
        EXPECT_NE(State(name).find(": connected"), std::string::npos) << State(name);
        calls += Journal(name).size();
        lookups += Lines(name + std::string(".lookups")).size();
    }
    for (const OfficeHost& host : kOfficeHosts)
        EXPECT_TRUE(AddinRecordExists(IdOf(host))) << host.officeKey;
    std::printf("all five hosts switched on in %lu ms: %zu calls and %zu name look-ups "
                "across processes\n", elapsed, calls, lookups);
}

}  // namespace
