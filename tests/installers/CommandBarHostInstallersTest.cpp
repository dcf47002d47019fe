// PowerPoint and FrontPage: the installers that build the translation menu
// and toolbar.

#include "Installers.h"

#include "AddinContract.h"
#include "AddinRecord.h"
#include "Catalogue.h"
#include "HostDetection.h"
#include "InstallerFixture.h"
#include "PinnedCatalogue.h"

#include <functional>
#include <set>

namespace {

using standin::ApplicationState;
using standin::CommandBarState;
using standin::HostKind;

constexpr char kPowerPointAddin[] = "Quillbar.QBPowerPointAddin.2";
constexpr char kFrontPageAddin[] = "Quillbar.QBFrontPageAddin.2";
const std::string kMenuCaption = "\xDC" "berset&zer";

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// The calls AddControlsFromTable makes to build the pinned rows into the
// bar labelled `bar`.
std::vector<std::string> TableBuild(const std::string& bar, const PinnedBar& rows)
{
    const std::string controls = "CommandBarControls" + (bar.empty() ? "" : "[" + bar + "]");
    std::vector<std::string> calls = {"CommandBar" + (bar.empty() ? "" : "[" + bar + "]") +
                                      ".Controls"};
    for (const PinnedControl& row : rows) {
        const std::string text = Quoted(row.caption);
        const std::string group = row.beginGroup ? "-1:BOOL" : "0:BOOL";
        const bool button = row.face > 0;
        const std::string kind = button ? "Button" : "ComboBox";
        const std::string self = kind + "[" + row.tag + "]";
        calls.push_back(controls + ".Add(" + (button ? "1" : "3") +
                        ":I4, missing, missing, missing, missing)");
        calls.push_back(kind + ".Tag = " + Quoted(row.tag));
        if (button) {
            calls.push_back(self + ".PasteFace()");
            calls.push_back(self + ".BeginGroup = " + group);
        } else {
            calls.push_back(self + ".BeginGroup = " + group);
            calls.push_back(self + ".DropDownWidth = 120:I4");
            calls.push_back(self + ".Width = 120:I4");
        }
        calls.push_back(self + ".DescriptionText = " + text);
        calls.push_back(self + ".Caption = " + text);
    }
    return calls;
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> joined;
    for (const auto& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

std::shared_ptr<CommandBarState> FindBar(const ApplicationState& app, const std::string& name)
{
    for (const auto& bar : app.commandBars->bars)
        if (bar->name == name)
            return bar;
    return nullptr;
}

int CountBars(const ApplicationState& app, const std::string& name)
{
    int count = 0;
    for (const auto& bar : app.commandBars->bars)
        count += bar->name == name;
    return count;
}

std::vector<std::shared_ptr<standin::ControlState>> MenuPopups(const ApplicationState& app)
{
    std::vector<std::shared_ptr<standin::ControlState>> popups;
    for (const auto& control : app.commandBars->activeMenuBar->controls)
        if (control->tag == catalogue::kMenuTag)
            popups.push_back(control);
    return popups;
}

class PowerPointInstallerTest : public InstallerTest {
protected:
    // A PowerPoint reachable under its newest ProgID, knowing the add-in.
    std::shared_ptr<ApplicationState> CreatablePowerPoint(bool visible = false,
                                                          const char* version = "11.0")
    {
        auto app = NewApp(HostKind::PowerPoint, version);
        app->visible = visible;
        app->comAddIns.push_back({kPowerPointAddin, false});
        MakeCreatable("PowerPoint.Application.11", app);
        return app;
    }
};

class FrontPageInstallerTest : public InstallerTest {
protected:
    std::shared_ptr<ApplicationState> CreatableFrontPage()
    {
        auto app = NewApp(HostKind::FrontPage, "5.0");
        app->comAddIns.push_back({kFrontPageAddin, false});
        MakeCreatable("FrontPage.Application", app);
        return app;
    }
};

// ---------------------------------------------------------------------------
// Whole runs, call for call.

TEST_F(PowerPointInstallerTest, SwitchingOnAHiddenPowerPointBuildsMenuToolbarConnectsAndQuits)
{
    const auto app = CreatablePowerPoint();
    EXPECT_EQ(InstallPowerPointAddin(true), 1);

    const std::vector<std::string> expected = Join({
        {"Application[PowerPoint].Version",
         // old menu and toolbar
         "Application[PowerPoint].CommandBars", "CommandBars.ActiveMenuBar",
         "CommandBar[Menu Bar].FindControl(missing, missing, \"TALVO6_QB_MENU\", missing, missing)",
         "Application[PowerPoint].CommandBars",
         "CommandBars.Item(\"TALVO6 Quillbar\") -> failed 0x80070057",
         // menu
         "Application[PowerPoint].CommandBars", "CommandBars.ActiveMenuBar",
         "CommandBar[Menu Bar].Controls", "CommandBarControls[Menu Bar].Count",
         "CommandBarControls[Menu Bar].Add(10:I4, missing, missing, 1:I2, missing)",
         "Popup.Caption = " + Quoted(kMenuCaption), "Popup.Tag = \"TALVO6_QB_MENU\"",
         "Popup[TALVO6_QB_MENU].CommandBar", "CommandBar.Protection = 1:I4"},
        TableBuild("", kPinnedPowerPointMenu),
        {"CommandBar.FindControl(missing, missing, \"TALVO_QBM_QUILLBAR\", missing, missing)",
         "Button[TALVO_QBM_QUILLBAR].State = -1:I4",
         // toolbar
         "Application[PowerPoint].CommandBars",
         "CommandBars.Add(\"TALVO6 Quillbar\", missing, missing, missing)",
         "CommandBar[TALVO6 Quillbar].Protection = 1:I4",
         "CommandBar[TALVO6 Quillbar].Visible = 1:BOOL",
         "CommandBar[TALVO6 Quillbar].Position = 1:I4"},
        TableBuild("TALVO6 Quillbar", kPinnedPowerPointToolbar),
        {// connection and end
         "Application[PowerPoint].COMAddIns", "COMAddIns.Update()",
         "COMAddIns.Item(\"Quillbar.QBPowerPointAddin.2\")",
         "COMAddIn[Quillbar.QBPowerPointAddin.2].Connect = -1:BOOL",
         "Application[PowerPoint].Visible", "Application[PowerPoint].Quit()"},
    });
    EXPECT_EQ(Calls(), expected);

    const auto popups = MenuPopups(*app);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(app->commandBars->activeMenuBar->controls.front(), popups[0]) << "Before = 1";
    EXPECT_EQ(popups[0]->caption, kMenuCaption);
    EXPECT_EQ(popups[0]->popupBar->protection, 1);
    ASSERT_EQ(popups[0]->popupBar->controls.size(), 17u);
    EXPECT_EQ(popups[0]->popupBar->controls.back()->state, -1);

    const auto toolbar = FindBar(*app, catalogue::kToolbarName);
    ASSERT_TRUE(toolbar);
    EXPECT_TRUE(toolbar->visible);
    EXPECT_EQ(toolbar->protection, 1);
    EXPECT_EQ(toolbar->position, 1);
    ASSERT_EQ(toolbar->controls.size(), 18u);
    EXPECT_EQ(toolbar->controls.back()->state, 0) << "PowerPoint's toolbar switch stays up";

    EXPECT_TRUE(app->comAddIns[0].connected);
    EXPECT_EQ(app->quitCalls, 1);
    EXPECT_TRUE(IsAddinEnabled("PowerPoint", kPowerPointAddin));
    const auto loadBehavior = reg::GetValue(HKEY_CURRENT_USER, AddinKeyPath("PowerPoint", kPowerPointAddin), "LoadBehavior");
    ASSERT_TRUE(loadBehavior);
    EXPECT_EQ(loadBehavior->data[0], 3);
    EXPECT_EQ(LeakedObjects(), 0);
}

TEST_F(PowerPointInstallerTest, SwitchingOffRemovesRecordFirstThenDisconnectsAndRemovesBars)
{
    const auto app = CreatablePowerPoint(true);
    ASSERT_EQ(InstallPowerPointAddin(true), 1);
    journal_->Clear();

    bool recordGoneBeforeContact = false;
    journal_->Observe("Application.Version", [&] {
        recordGoneBeforeContact = !IsAddinEnabled("PowerPoint", kPowerPointAddin);
    });
    EXPECT_EQ(InstallPowerPointAddin(false), 1);
    EXPECT_TRUE(recordGoneBeforeContact);

    const std::vector<std::string> expected = {
        "Application[PowerPoint].Version",
        "Application[PowerPoint].COMAddIns",
        "COMAddIns.Update()",
        "COMAddIns.Item(\"Quillbar.QBPowerPointAddin.2\")",
        "COMAddIn[Quillbar.QBPowerPointAddin.2].Connect = 0:BOOL",
        "Application[PowerPoint].CommandBars",
        "CommandBars.ActiveMenuBar",
        "CommandBar[Menu Bar].FindControl(missing, missing, \"TALVO6_QB_MENU\", missing, missing)",
        "Popup[TALVO6_QB_MENU].Delete(missing)",
        "Application[PowerPoint].CommandBars",
        "CommandBars.Item(\"TALVO6 Quillbar\")",
        "CommandBar[TALVO6 Quillbar].Delete()",
        "Application[PowerPoint].Visible",
    };
    EXPECT_EQ(Calls(), expected) << "a visible PowerPoint is not told to quit";
    EXPECT_TRUE(MenuPopups(*app).empty());
    EXPECT_FALSE(FindBar(*app, catalogue::kToolbarName));
    EXPECT_FALSE(app->comAddIns[0].connected);
    EXPECT_EQ(app->quitCalls, 0) << "a visible PowerPoint stays open";
    EXPECT_EQ(LeakedObjects(), 0);
}

TEST_F(PowerPointInstallerTest, RecordIsWrittenAfterTheBarsAndBeforeConnecting)
{
    CreatablePowerPoint();
    bool recordWhileBuilding = true;
    bool recordWhileConnecting = false;
    journal_->Observe("CommandBars.Add", [&] {
        recordWhileBuilding = IsAddinEnabled("PowerPoint", kPowerPointAddin);
    });
    journal_->Observe("COMAddIns.Update", [&] {
        recordWhileConnecting = IsAddinEnabled("PowerPoint", kPowerPointAddin);
    });
    InstallPowerPointAddin(true);
    EXPECT_FALSE(recordWhileBuilding);
    EXPECT_TRUE(recordWhileConnecting);
}

TEST_F(PowerPointInstallerTest, WithoutPowerPointOnlyTheRecordChangesAndTheResultIsZero)
{
    ASSERT_EQ(RegisterAddin("PowerPoint", kPowerPointAddin, "x", 0, 3), S_OK);
    EXPECT_EQ(InstallPowerPointAddin(false), 0);
    EXPECT_FALSE(IsAddinEnabled("PowerPoint", kPowerPointAddin));

    MakeCreatableFailing("PowerPoint.Application.10", CO_E_SERVER_EXEC_FAILURE);
    EXPECT_EQ(InstallPowerPointAddin(true), 0);
    EXPECT_FALSE(IsAddinEnabled("PowerPoint", kPowerPointAddin)) << "switch-on writes after building";
    EXPECT_TRUE(Calls().empty());
}

TEST_F(PowerPointInstallerTest, OlderProgIdsAreTriedWhenNewerOnesFail)
{
    MakeCreatableFailing("PowerPoint.Application.11", E_OUTOFMEMORY);
    auto app = NewApp(HostKind::PowerPoint, "9.0.2720");
    MakeCreatable("PowerPoint.Application.9", app);
    EXPECT_EQ(InstallPowerPointAddin(true), 1);
    EXPECT_TRUE(FindBar(*app, catalogue::kToolbarName));
}

TEST_F(PowerPointInstallerTest, LaterPowerPointIsLeftAloneButItsRecordIsStillRemoved)
{
    const auto app = CreatablePowerPoint(false, "12.0");
    app->commandBars->AddToolbar(catalogue::kToolbarName);
    ASSERT_EQ(RegisterAddin("PowerPoint", kPowerPointAddin, "x", 0, 3), S_OK);

    EXPECT_EQ(InstallPowerPointAddin(false), 0);
    EXPECT_FALSE(IsAddinEnabled("PowerPoint", kPowerPointAddin));
    EXPECT_EQ(InstallPowerPointAddin(true), 0);
    EXPECT_FALSE(IsAddinEnabled("PowerPoint", kPowerPointAddin));

    EXPECT_EQ(Calls(), std::vector<std::string>(2, "Application[PowerPoint].Version"));
    EXPECT_TRUE(FindBar(*app, catalogue::kToolbarName));
    EXPECT_EQ(app->quitCalls, 0);
    EXPECT_EQ(LeakedObjects(), 0);
}

// Where the menu goes: before the count minus 2 (PowerPoint) or minus 1
// (FrontPage) once the bar has more than two controls.
struct BeforeCase {
    int menus;
    short powerPointBefore;
    short frontPageBefore;
};

class MenuPositionTest : public InstallerTest, public ::testing::WithParamInterface<BeforeCase> {};

TEST_P(MenuPositionTest, PopupGoesBeforeTheHostsLastMenus)
{
    const BeforeCase& c = GetParam();
    for (const bool frontPage : {false, true}) {
        auto app = NewApp(frontPage ? HostKind::FrontPage : HostKind::PowerPoint, "10.0");
        app->commandBars = standin::CommandBarsState::Typical(c.menus);
        MakeCreatable(frontPage ? "FrontPage.Application" : "PowerPoint.Application.11", app);
        frontPage ? InstallFrontPageAddin(true) : InstallPowerPointAddin(true);

        const short before = frontPage ? c.frontPageBefore : c.powerPointBefore;
        const std::string add = "CommandBarControls[Menu Bar].Add(10:I4, missing, missing, " +
                                std::to_string(before) + ":I2, missing)";
        const auto calls = Calls();
        EXPECT_NE(std::find(calls.begin(), calls.end(), add), calls.end()) << CallText();
        const auto& menus = app->commandBars->activeMenuBar->controls;
        ASSERT_EQ(menus.size(), static_cast<std::size_t>(c.menus + 1));
        EXPECT_EQ(menus[before - 1]->tag, catalogue::kMenuTag);
        journal_->Clear();
    }
}

INSTANTIATE_TEST_SUITE_P(MenuBars, MenuPositionTest,
                         ::testing::Values(BeforeCase{1, 1, 1}, BeforeCase{2, 2, 2},
                                           BeforeCase{3, 1, 2}, BeforeCase{7, 5, 6}));

TEST_F(PowerPointInstallerTest, AControlCarryingTheMenuTagThatIsNoPopupIsLeftAlone)
{
    const auto app = CreatablePowerPoint();
    auto button = std::make_shared<standin::ControlState>();
    button->type = 1;
    button->tag = catalogue::kMenuTag;
    app->commandBars->activeMenuBar->controls.push_back(button);

    InstallPowerPointAddin(false);
    EXPECT_EQ(MenuPopups(*app).size(), 1u);
    InstallPowerPointAddin(true);
    const auto tagged = MenuPopups(*app);
    ASSERT_EQ(tagged.size(), 2u) << "the switch-on adds its popup beside it";
    EXPECT_EQ(tagged[1], button);
    EXPECT_EQ(LeakedObjects(), 0);
}

TEST_F(PowerPointInstallerTest, OneRunRemovesOnlyOneOfTwoToolbarsOfOurName)
{
    const auto app = CreatablePowerPoint();
    app->commandBars->AddToolbar(catalogue::kToolbarName);
    app->commandBars->AddToolbar(catalogue::kToolbarName);
    EXPECT_EQ(InstallPowerPointAddin(false), 1);
    EXPECT_EQ(CountBars(*app, catalogue::kToolbarName), 1);
}

TEST_F(PowerPointInstallerTest, SwitchingOnTwiceRebuildsInsteadOfDoubling)
{
    const auto app = CreatablePowerPoint();
    InstallPowerPointAddin(true);
    InstallPowerPointAddin(true);
    EXPECT_EQ(MenuPopups(*app).size(), 1u);
    EXPECT_EQ(CountBars(*app, catalogue::kToolbarName), 1);
    EXPECT_EQ(FindBar(*app, catalogue::kToolbarName)->controls.size(), 18u);
    EXPECT_EQ(app->comAddInsUpdates, 2);
    EXPECT_TRUE(app->comAddIns[0].connected);
    EXPECT_EQ(journal_->CountOf("COMAddIn.Connect"), 2);
}

TEST_F(PowerPointInstallerTest, AddinUnknownToPowerPointStillGetsItsRecord)
{
    const auto app = CreatablePowerPoint();
    app->comAddIns.clear();
    EXPECT_EQ(InstallPowerPointAddin(true), 1);
    EXPECT_TRUE(IsAddinEnabled("PowerPoint", kPowerPointAddin));
    EXPECT_EQ(journal_->CountOf("COMAddIn.Connect"), 0);
    EXPECT_EQ(app->quitCalls, 1);
}

TEST_F(FrontPageInstallerTest, SwitchingOnPressesBothTogglesAndAlwaysQuits)
{
    const auto app = CreatableFrontPage();
    EXPECT_EQ(InstallFrontPageAddin(true), 1);

    const auto toolbar = FindBar(*app, catalogue::kToolbarName);
    ASSERT_TRUE(toolbar);
    ASSERT_EQ(toolbar->controls.size(), 17u);
    EXPECT_EQ(toolbar->controls.back()->tag, catalogue::kToolbarToggleTag);
    EXPECT_EQ(toolbar->controls.back()->state, -1);
    const auto popups = MenuPopups(*app);
    ASSERT_EQ(popups.size(), 1u);
    ASSERT_EQ(popups[0]->popupBar->controls.size(), 16u);
    EXPECT_EQ(popups[0]->popupBar->controls.back()->state, -1);
    EXPECT_TRUE(app->comAddIns[0].connected);
    EXPECT_TRUE(IsAddinEnabled("FrontPage", kFrontPageAddin));

    const auto calls = Calls();
    ASSERT_GE(calls.size(), 6u);
    const std::vector<std::string> tail(calls.end() - 6, calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "Button[TALVO_QB_QUILLBAR].State = -1:I4",
                        "Application[FrontPage].COMAddIns", "COMAddIns.Update()",
                        "COMAddIns.Item(\"Quillbar.QBFrontPageAddin.2\")",
                        "COMAddIn[Quillbar.QBFrontPageAddin.2].Connect = -1:BOOL",
                        "Application[FrontPage].Quit()"}));
    EXPECT_EQ(calls.front(), "Application[FrontPage].CommandBars") << "no version check";
    EXPECT_EQ(LeakedObjects(), 0);
}

TEST_F(FrontPageInstallerTest, SwitchingOffDisconnectsRemovesAndQuits)
{
    const auto app = CreatableFrontPage();
    InstallFrontPageAddin(true);
    journal_->Clear();

    EXPECT_EQ(InstallFrontPageAddin(false), 1);
    const std::vector<std::string> expected = {
        "Application[FrontPage].COMAddIns",
        "COMAddIns.Update()",
        "COMAddIns.Item(\"Quillbar.QBFrontPageAddin.2\")",
        "COMAddIn[Quillbar.QBFrontPageAddin.2].Connect = 0:BOOL",
        "Application[FrontPage].CommandBars",
        "CommandBars.ActiveMenuBar",
        "CommandBar[Menu Bar].FindControl(missing, missing, \"TALVO6_QB_MENU\", missing, missing)",
        "Popup[TALVO6_QB_MENU].Delete(missing)",
        "Application[FrontPage].CommandBars",
        "CommandBars.Item(\"TALVO6 Quillbar\")",
        "CommandBar[TALVO6 Quillbar].Delete()",
        "Application[FrontPage].Quit()",
    };
    EXPECT_EQ(Calls(), expected);
    EXPECT_FALSE(IsAddinEnabled("FrontPage", kFrontPageAddin));
    EXPECT_EQ(app->quitCalls, 2);
}

TEST_F(FrontPageInstallerTest, WithoutFrontPageTheRecordIsStillRemoved)
{
    ASSERT_EQ(RegisterAddin("FrontPage", kFrontPageAddin, "x", 0, 3), S_OK);
    EXPECT_EQ(InstallFrontPageAddin(false), 0);
    EXPECT_FALSE(IsAddinEnabled("FrontPage", kFrontPageAddin));
}

// ---------------------------------------------------------------------------
// Every call of a run failing once in turn.

struct SweepCase {
    const char* name;
    HostKind host;
    const char* progId;
    bool enable;
    int (*install)(bool);
    std::set<std::string> tolerated;  // calls whose failure the run goes on after
    int resultAfterError;
};

class FaultSweepTest : public InstallerTest, public ::testing::WithParamInterface<SweepCase> {
protected:
    struct Run {
        int result = -1;
        std::vector<standin::CallRecord> calls;
        bool record = false;
        int quits = 0;
        long leaked = 0;
    };

    // A fresh host, already switched on when the case switches off; the
    // journal starts with the run itself. failAt 0: nothing fails.
    Run Execute(int failAt)
    {
        const SweepCase& c = GetParam();
        const char* officeKey = c.host == HostKind::PowerPoint ? "PowerPoint" : "FrontPage";
        const char* addinProgId =
            c.host == HostKind::PowerPoint ? kPowerPointAddin : kFrontPageAddin;
        UnregisterAddin(officeKey, addinProgId);
        auto journal = std::make_shared<standin::Journal>();
        auto app = std::make_shared<ApplicationState>(c.host);
        app->version = "10.0";
        app->comAddIns.push_back({addinProgId, false});
        const long liveBefore = standin::DispatchObject::LiveCount();
        Run run;
        {
            const standin::CreatableClass creatable(c.progId, [&](REFIID iid, void** object) {
                return standin::MakeApplication(journal, app)->QueryInterface(iid, object);
            });
            if (!c.enable) {
                c.install(true);
                journal->Clear();
            }
            const int before = app->quitCalls;
            if (failAt)
                journal->FailCallNumber(failAt, E_FAIL);
            run.result = c.install(c.enable);
            run.quits = app->quitCalls - before;
        }
        run.calls = journal->Calls();
        run.record = IsAddinEnabled(officeKey, addinProgId);
        run.leaked = standin::DispatchObject::LiveCount() - liveBefore;
        return run;
    }
};

TEST_P(FaultSweepTest, EveryFailureEndsTheRunAsItsRuleSays)
{
    const SweepCase& c = GetParam();
    const Run clean = Execute(0);
    ASSERT_EQ(clean.result, 1);
    ASSERT_EQ(clean.leaked, 0);

    // The record is written just before the add-in's collection is fetched
    // for connecting, the last time the run asks for COMAddIns.
    int recordStep = 0;
    for (std::size_t i = 0; i < clean.calls.size(); ++i)
        if (clean.calls[i].member == "COMAddIns")
            recordStep = static_cast<int>(i) + 1;

    for (int failAt = 1; failAt <= static_cast<int>(clean.calls.size()); ++failAt) {
        const Run run = Execute(failAt);
        ASSERT_GE(run.calls.size(), static_cast<std::size_t>(failAt));
        const standin::CallRecord& failed = run.calls[failAt - 1];
        SCOPED_TRACE("call " + std::to_string(failAt) + ": " + failed.ToString());
        EXPECT_EQ(run.leaked, 0) << "a reference leaked";

        if (c.tolerated.count(failed.Key())) {
            EXPECT_EQ(run.result, 1);
            EXPECT_EQ(run.quits, clean.quits) << "the run went on to its end";
            EXPECT_EQ(run.record, c.enable);
        } else {
            EXPECT_EQ(run.result, c.resultAfterError);
            EXPECT_EQ(run.calls.size(), static_cast<std::size_t>(failAt))
                << "nothing runs after the failure";
            EXPECT_EQ(run.quits, 0);
            EXPECT_EQ(run.record, c.enable && failAt >= recordStep);
        }
    }
}

const std::set<std::string> kPowerPointTolerated = {"CommandBars.Item", "COMAddIns.Item"};
const std::set<std::string> kFrontPageTolerated = {"CommandBars.Item", "COMAddIns.Item",
                                                   "COMAddIns.Update"};

INSTANTIATE_TEST_SUITE_P(
    Installers, FaultSweepTest,
    ::testing::Values(
        SweepCase{"PowerPointOn", HostKind::PowerPoint, "PowerPoint.Application.11", true,
                  InstallPowerPointAddin, kPowerPointTolerated, 1},
        SweepCase{"PowerPointOff", HostKind::PowerPoint, "PowerPoint.Application.11", false,
                  InstallPowerPointAddin, kPowerPointTolerated, 1},
        SweepCase{"FrontPageOn", HostKind::FrontPage, "FrontPage.Application", true,
                  InstallFrontPageAddin, kFrontPageTolerated, 0},
        SweepCase{"FrontPageOff", HostKind::FrontPage, "FrontPage.Application", false,
                  InstallFrontPageAddin, kFrontPageTolerated, 0}),
    [](const ::testing::TestParamInfo<SweepCase>& info) { return info.param.name; });

}  // namespace
