#include "Installers.h"

#include "AddinContract.h"
#include "Catalogue.h"
#include "FaultSweep.h"
#include "InstallerChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace {

using standin::ApplicationState;
using standin::CommandBarsState;

// What an earlier tuner left in Outlook's command bars: the translation
// popup on the menu bar and `toolbars` toolbars of the tuner's name.
std::shared_ptr<CommandBarsState> BarsWithOldOnes(int toolbars)
{
    auto bars = CommandBarsState::Typical();
    auto popup = std::make_shared<standin::ControlState>();
    popup->type = 10;
    popup->tag = catalogue::kMenuTag;
    popup->popupBar = std::make_shared<standin::CommandBarState>();
    bars->activeMenuBar->controls.push_back(popup);
    for (int i = 0; i < toolbars; ++i)
        bars->AddToolbar(catalogue::kToolbarName);
    return bars;
}

long OldToolbars(const CommandBarsState& bars)
{
    return std::count_if(bars.bars.begin(), bars.bars.end(),
                         [](const auto& bar) { return bar->name == catalogue::kToolbarName; });
}

bool HasOldPopup(const CommandBarsState& bars)
{
    const auto& controls = bars.activeMenuBar->controls;
    return std::any_of(controls.begin(), controls.end(),
                       [](const auto& control) { return control->tag == catalogue::kMenuTag; });
}

// The calls that clear the old bars of the explorer shown on `folder`, where
// the tuner's popup and one toolbar are left.
Lines ClearingOldBars(const std::string& folder)
{
    const std::string explorer = "Explorer[" + folder + "]";
    return {explorer + ".CommandBars",
            "CommandBars.ActiveMenuBar",
            "CommandBar[Menu Bar].FindControl(missing, missing, \"TALVO6_QB_MENU\", missing, "
            "missing)",
            "Popup[TALVO6_QB_MENU].Delete(missing)",
            explorer + ".CommandBars",
            "CommandBars.Item(\"TALVO6 Quillbar\")",
            "CommandBar[TALVO6 Quillbar].Delete()",
            explorer + ".CommandBars",
            "CommandBars.Item(\"TALVO6 Quillbar\") -> failed 0x80070057"};
}

const Lines kOpeningInbox = {
    "Application[Outlook].Explorers",
    "Application[Outlook].GetNamespace(\"MAPI\")",
    "NameSpace.GetDefaultFolder(6:I4)",
    "Explorers.Add(<object>, 0:I4)",
    "Explorer[Inbox].Activate()",
};

// The clean-up after working in an explorer the run opened: the explorer
// and Outlook close, and an Outlook still running without a window is told
// to quit.
const Lines kClosingOurExplorer = {
    "Explorer[Inbox].Close()",
    "Application[Outlook].Quit()",
    "Application[Outlook].ActiveWindow()",
    "Application[Outlook].Quit()",
};

Lines Switching(const char* connect)
{
    return SwitchingAddin("Outlook", "Quillbar.QBOutlookAddin.2", connect);
}

class OutlookInstallerTest : public InstallerTest {
public:
    // An Outlook 2003 that knows the add-in; its explorers' bars hold the old
    // popup and `oldToolbars` old toolbars.
    std::shared_ptr<ApplicationState> NewOutlook(const char* version, int oldToolbars = 1)
    {
        auto outlook = NewApp(standin::HostKind::Outlook, version);
        outlook->comAddIns.push_back({addin::kOutlookProgId, false});
        outlook->newExplorerBars = BarsWithOldOnes(oldToolbars);
        return outlook;
    }
    // Such an Outlook running, showing an explorer on the calendar or no
    // window at all.
    std::shared_ptr<ApplicationState> RunningOutlook(bool withExplorer,
                                                     const char* version = "11.0",
                                                     int oldToolbars = 1)
    {
        auto outlook = NewOutlook(version, oldToolbars);
        if (withExplorer)
            outlook->OpenExplorer("Kalender")->commandBars = outlook->newExplorerBars;
        MakeRunning(outlook);
        return outlook;
    }
};

struct OutlookCase {
    const char* name;
    bool withExplorer;
    bool enable;
    Lines journal;  // with the old popup and one old toolbar
};

const OutlookCase kOutlookCases[] = {
    {"WindowOn", true, true,
     Join({{"Application[Outlook].Version", "Application[Outlook].ActiveExplorer()",
            "Explorer[Kalender].Activate()"},
           ClearingOldBars("Kalender"),
           Switching("-1:BOOL"),
           {"Application[Outlook].ActiveWindow()"}})},
    {"WindowOff", true, false,
     Join({{"Application[Outlook].Version"},
           Switching("0:BOOL"),
           {"Application[Outlook].ActiveExplorer()", "Explorer[Kalender].Activate()"},
           ClearingOldBars("Kalender"),
           {"Application[Outlook].ActiveWindow()"}})},
    {"NoWindowOn", false, true,
     Join({{"Application[Outlook].Version", "Application[Outlook].ActiveExplorer()"},
           kOpeningInbox,
           ClearingOldBars("Inbox"),
           kClosingOurExplorer})},
    {"NoWindowOff", false, false,
     Join({{"Application[Outlook].Version"},
           Switching("0:BOOL"),
           {"Application[Outlook].ActiveExplorer()"},
           kOpeningInbox,
           ClearingOldBars("Inbox"),
           kClosingOurExplorer})},
};

void PrintTo(const OutlookCase& c, std::ostream* out)
{
    *out << c.name;
}

std::string CaseName(const ::testing::TestParamInfo<OutlookCase>& info)
{
    return info.param.name;
}

class OutlookJournalTest : public OutlookInstallerTest,
                           public ::testing::WithParamInterface<OutlookCase> {};

// An Outlook with a window keeps it and gets the add-in switched at once; in
// one without, an Inbox explorer is opened, cleared and closed with Outlook,
// and on switch-on only the record changes.
TEST_P(OutlookJournalTest, FollowsTheStepsInOrder)
{
    const OutlookCase& c = GetParam();
    const auto outlook = RunningOutlook(c.withExplorer);
    outlook->comAddIns[0].connected = !c.enable;
    if (!c.enable)
        WriteRecord(HostId::Outlook);
    const auto recordAtVersion = RecordSeenAt(*journal_, "Application.Version", HostId::Outlook);

    EXPECT_EQ(InstallOutlookAddin(c.enable), 1);

    EXPECT_EQ(Calls(), c.journal) << CallText();
    EXPECT_EQ(*recordAtVersion, std::vector<bool>{false});
    EXPECT_EQ(RecordExists(HostId::Outlook), c.enable);
    EXPECT_EQ(outlook->comAddIns[0].connected, c.enable && c.withExplorer);
    EXPECT_FALSE(HasOldPopup(*outlook->newExplorerBars));
    EXPECT_EQ(OldToolbars(*outlook->newExplorerBars), 0);
    ASSERT_EQ(outlook->explorers.size(), 1u);
    EXPECT_EQ(outlook->explorers[0]->closed, !c.withExplorer);
    EXPECT_EQ(outlook->explorers[0]->activations, 1);
    EXPECT_EQ(outlook->quitCalls, c.withExplorer ? 0 : 2);
    EXPECT_EQ(LeakedObjects(), 0);
}

INSTANTIATE_TEST_SUITE_P(Outlook, OutlookJournalTest, ::testing::ValuesIn(kOutlookCases),
                         CaseName);

// Outlook.Application.11 is missing, so .10 starts an Outlook, which then
// shows up in the running-object table as a real one does.
TEST_F(OutlookInstallerTest, AnOutlookStartedByTheCallIsWorkedOnAndClosedAgain)
{
    const auto outlook = NewOutlook("10.0");
    const auto older = NewOutlook("9.0");
    MakeCreatableFailing("Outlook.Application.11", REGDB_E_CLASSNOTREG);
    MakeCreatable("Outlook.Application.10", outlook);
    MakeCreatable("Outlook.Application.9", older);
    bool registered = false;
    journal_->Observe("Application.Version", [&] {
        if (!std::exchange(registered, true))
            MakeRunning(outlook);
    });

    EXPECT_EQ(InstallOutlookAddin(true), 1);

    EXPECT_EQ(Calls(), kOutlookCases[2].journal) << CallText();  // as NoWindowOn
    EXPECT_TRUE(RecordExists(HostId::Outlook));
    EXPECT_EQ(outlook->quitCalls, 2);
    EXPECT_EQ(older->quitCalls + older->comAddInsUpdates, 0);
    EXPECT_EQ(LeakedObjects(), 0);
}

TEST_F(OutlookInstallerTest, WithoutOutlookTheResultIsZero)
{
    WriteRecord(HostId::Outlook);
    EXPECT_EQ(InstallOutlookAddin(false), 0);
    EXPECT_FALSE(RecordExists(HostId::Outlook));

    EXPECT_EQ(InstallOutlookAddin(true), 0);
    EXPECT_FALSE(RecordExists(HostId::Outlook)) << "the record is written only after the bars";
}

TEST_F(OutlookInstallerTest, AnOutlookOfALaterVersionIsLeftAloneEvenWithoutWindow)
{
    const auto outlook = RunningOutlook(false, "12.0");
    WriteRecord(HostId::Outlook);

    EXPECT_EQ(InstallOutlookAddin(false), 0);
    EXPECT_EQ(InstallOutlookAddin(true), 0);

    EXPECT_EQ(Calls(), (Lines{"Application[Outlook].Version", "Application[Outlook].Version"}));
    EXPECT_FALSE(RecordExists(HostId::Outlook));
    EXPECT_EQ(outlook->quitCalls, 0);
}

TEST_F(OutlookInstallerTest, ThreeOldToolbarsLoseTwoPerRun)
{
    const auto outlook = RunningOutlook(true, "11.0", 3);

    InstallOutlookAddin(true);
    EXPECT_EQ(OldToolbars(*outlook->newExplorerBars), 1);
    InstallOutlookAddin(true);
    EXPECT_EQ(OldToolbars(*outlook->newExplorerBars), 0);
}

TEST_F(OutlookInstallerTest, AnAddinUnknownToOutlookIsPassedOver)
{
    const auto outlook = RunningOutlook(true);
    outlook->comAddIns.clear();

    EXPECT_EQ(InstallOutlookAddin(true), 1);

    EXPECT_TRUE(RecordExists(HostId::Outlook));
    EXPECT_EQ(Calls().back(), "Application[Outlook].ActiveWindow()") << CallText();
}

// The Inbox explorer cannot be opened: Add fails, Add gives Nothing, or
// there is no Inbox (which is then not handed to Add). Nothing was opened, so
// nothing is closed, but an Outlook left without a window (an item window
// counts) quits.
TEST(OutlookInboxFailure, NothingIsClosedAndOutlookWithoutWindowQuits)
{
    struct Case {
        const char* name;
        void (*arrange)(standin::Journal& journal, ApplicationState& outlook);
        const char* lastMainCall;
    };
    const Case cases[] = {
        {"Add fails", [](standin::Journal& journal, ApplicationState&) {
             journal.FailCall("Explorers.Add", 1, E_FAIL);
         }, "Explorers.Add(<object>, 0:I4) -> failed 0x80004005"},
        {"Add gives Nothing", [](standin::Journal&, ApplicationState& outlook) {
             outlook.addedExplorerMissing = true;
         }, "Explorers.Add(<object>, 0:I4)"},
        {"no Inbox", [](standin::Journal&, ApplicationState& outlook) {
             outlook.inboxMissing = true;
         }, "NameSpace.GetDefaultFolder(6:I4)"},
    };
    for (const Case& c : cases) {
        for (const bool itemWindowOpen : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (itemWindowOpen ? ", item window" : ""));
            FreshWorld<OutlookInstallerTest> world;
            const auto outlook = world.RunningOutlook(false);
            outlook->inspectorOpen = itemWindowOpen;
            c.arrange(*world.journal_, *outlook);

            EXPECT_EQ(InstallOutlookAddin(true), 1);

            Lines end = {c.lastMainCall, "Application[Outlook].ActiveWindow()"};
            if (!itemWindowOpen)
                end.push_back("Application[Outlook].Quit()");
            const Lines calls = world.journal_->CallStrings();
            ASSERT_GE(calls.size(), end.size());
            EXPECT_EQ(Lines(calls.end() - end.size(), calls.end()), end) << world.CallText();
            EXPECT_EQ(outlook->quitCalls, itemWindowOpen ? 0 : 1);
            EXPECT_EQ(world.LeakedObjects(), 0);
        }
    }
}

// Every call failing once: the add-in collection's Update and lookup, the
// toolbar lookups and the clean-up calls may fail; any other failure ends the
// main part, and the clean-up still runs.
class OutlookFaultSweep : public ::testing::TestWithParam<OutlookCase> {};

TEST_P(OutlookFaultSweep, EveryFailingCallEndsTheRunAsItShould)
{
    const OutlookCase& c = GetParam();
    // Two old toolbars: a failed first lookup leaves the second pass the
    // toolbar the first one would have removed.
    const auto arrange = [&](OutlookInstallerTest& world) {
        world.RunningOutlook(c.withExplorer, "11.0", 2);
        if (!c.enable)
            WriteRecord(HostId::Outlook);
    };
    const std::vector<standin::CallRecord> clean =
        CleanRunCalls<OutlookInstallerTest>(arrange, InstallOutlookAddin, c.enable);

    FaultSweep sweep;
    sweep.Tolerate("COMAddIns.Update")
        .Tolerate("COMAddIns.Item", 1)
        .Tolerate("CommandBars.Item", 1)
        .Tolerate("Explorer.Close")
        .Tolerate("Application.Quit")
        .Tolerate("Application.ActiveWindow", c.withExplorer ? 0 : 1);
    // After a failure the clean-up runs: our explorer is closed and Outlook
    // told to quit once the explorer was added; an Outlook without a window
    // is told to quit.
    const std::size_t added = IndexOf(clean, "Explorers.Add");
    sweep.AfterFailure([&](std::size_t failed) {
        if (failed > added && added < clean.size())
            return kClosingOurExplorer;
        Lines tail = {"Application[Outlook].ActiveWindow()"};
        if (!c.withExplorer)
            tail.push_back("Application[Outlook].Quit()");
        return tail;
    });
    // The record is written after the bars, before the add-in is connected
    // or the clean-up starts.
    const std::size_t registered =
        IndexOf(clean, c.withExplorer ? "Application.COMAddIns" : "Explorer.Close");

    sweep.Run(
        [&](const FailedCall* failing) {
            FreshWorld<OutlookInstallerTest> world;
            arrange(world);
            const SweepRun run = world.Install(InstallOutlookAddin, c.enable, failing);
            EXPECT_EQ(RecordExists(HostId::Outlook),
                      c.enable && (!failing || failing->tolerated || failing->index >= registered));
            return run;
        },
        1);
}

INSTANTIATE_TEST_SUITE_P(Outlook, OutlookFaultSweep, ::testing::ValuesIn(kOutlookCases),
                         CaseName);

}  // namespace
