#include "Installers.h"

#include "AddinContract.h"
#include "FaultSweep.h"
#include "HostWindow.h"
#include "InstallerChecks.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using standin::ApplicationState;

const Lines kProtectingMenuBar = {
    "Application[Word].CommandBars",
    "CommandBars.ActiveMenuBar",
    "CommandBar[Menu Bar].Protection = 8:I4",
};

Lines Switching(const char* connect)
{
    return {"Application[Word].COMAddIns", "COMAddIns.Update()",
            "COMAddIns.Item(\"Quillbar.QBWordAddin.2\")",
            std::string("COMAddIn[Quillbar.QBWordAddin.2].Connect = ") + connect};
}

const Lines kHiddenDocument = {
    "Application[Word].Documents",
    "Documents.Add(missing, missing, missing, 0:I2)",
    "Document.Saved = -1:BOOL",
    "Document.Close(missing, missing, missing)",
};

const Lines kQuit = {"Application[Word].Quit(missing, missing, missing)"};

class WordInstallerTest : public InstallerTest {
public:
    // A Word 2003 in the running-object table, with the add-in in its
    // COM add-in collection and the normal template in its add-ins list.
    std::shared_ptr<ApplicationState> RunningWord(const char* version = "11.0")
    {
        auto word = NewWord(version);
        MakeRunning(word);
        return word;
    }
    // A Word that creating "Word.Application" starts.
    std::shared_ptr<ApplicationState> InstalledWord(const char* version = "11.0")
    {
        auto word = NewWord(version);
        MakeCreatable("Word.Application", word);
        return word;
    }

    static void CreateSettingsKey()
    {
        reg::CreateKey(HKEY_CURRENT_USER, addin::kWordSettingsKey);
    }
    static bool SettingsKeyExists()
    {
        return reg::KeyExists(HKEY_CURRENT_USER, addin::kWordSettingsKey);
    }
    static std::optional<DWORD> IsRunning()
    {
        const auto value = reg::GetValue(HKEY_CURRENT_USER, addin::kWordSettingsKey,
                                         addin::kWordSettingsIsRunning);
        if (!value || value->type != REG_DWORD || value->data.size() != sizeof(DWORD))
            return std::nullopt;
        return *reinterpret_cast<const DWORD*>(value->data.data());
    }

private:
    std::shared_ptr<ApplicationState> NewWord(const char* version)
    {
        auto word = NewApp(standin::HostKind::Word, version);
        word->comAddIns.push_back({addin::kWordProgId, false});
        word->wordAddIns = {"Normal.dot"};
        return word;
    }
};

// A window of another program has the focus before the run. (Only the Word
// window a test is about is shown: Wine takes seconds to destroy a shown one.)
class ForegroundWindowTest : public WordInstallerTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(other_.Handle());
        SetForegroundWindow(other_.Handle());
        standin::PumpMessages();
        ASSERT_EQ(GetForegroundWindow(), other_.Handle());
    }
    HWND Foreground() const
    {
        standin::PumpMessages();
        return GetForegroundWindow();
    }

    standin::HostWindow other_{"QuillbarTestOther", "Anderes Programm", false};
};

TEST_F(ForegroundWindowTest, SwitchOnInARunningWordConnectsBringsItForwardAndMakesAHiddenDocument)
{
    const auto word = RunningWord();
    const standin::HostWindow mainWindow("OpusApp", "Dokument1 - Microsoft Word");
    SetForegroundWindow(other_.Handle());
    CreateSettingsKey();
    const auto recordAtUpdate = RecordSeenAt(*journal_, "COMAddIns.Update", HostId::Word);
    bool foregroundAtUpdate = false;
    journal_->Observe("COMAddIns.Update",
                      [&] { foregroundAtUpdate = Foreground() == mainWindow.Handle(); });

    EXPECT_EQ(InstallWordAddin(true), 1);

    EXPECT_EQ(Calls(), Join({{"Application[Word].Version"},
                             kProtectingMenuBar,
                             Switching("-1:BOOL"),
                             kHiddenDocument}))
        << CallText();
    EXPECT_EQ(*recordAtUpdate, std::vector<bool>{true});
    EXPECT_TRUE(foregroundAtUpdate) << "the main window comes forward before the add-in connects";
    EXPECT_EQ(Foreground(), mainWindow.Handle());
    EXPECT_TRUE(word->comAddIns[0].connected);
    EXPECT_EQ(word->commandBars->activeMenuBar->protection, 8);
    EXPECT_TRUE(word->documents.empty());
    EXPECT_EQ(word->quitCalls, 0);
    EXPECT_EQ(IsRunning(), 1u);
    EXPECT_EQ(LeakedObjects(), 0);
}

TEST_F(ForegroundWindowTest, SwitchOnStartsWordWhenNoneRunsAndQuitsItWithoutTouchingWindows)
{
    const auto word = InstalledWord();
    const standin::HostWindow unrelatedWord("OpusApp", "Microsoft Word", false);
    SetForegroundWindow(other_.Handle());

    EXPECT_EQ(InstallWordAddin(true), 1);

    EXPECT_EQ(Calls(), Join({{"Application[Word].Version"},
                             kProtectingMenuBar,
                             Switching("-1:BOOL"),
                             kQuit}))
        << CallText();
    EXPECT_EQ(Foreground(), other_.Handle());
    EXPECT_EQ(word->quitCalls, 1);
    EXPECT_TRUE(RecordExists(HostId::Word));
    EXPECT_FALSE(SettingsKeyExists()) << "the settings key is never created";
    EXPECT_EQ(LeakedObjects(), 0);
}

TEST_F(WordInstallerTest, SwitchOffInARunningWordRemovesTheTemplateAndDisconnects)
{
    const auto word = RunningWord();
    word->wordAddIns = {"Normal.dot", "tqbarsv6.dot"};
    word->comAddIns[0].connected = true;
    WriteRecord(HostId::Word);
    CreateSettingsKey();
    const auto recordAtVersion = RecordSeenAt(*journal_, "Application.Version", HostId::Word);

    EXPECT_EQ(InstallWordAddin(false), 1);

    EXPECT_EQ(Calls(), Join({{"Application[Word].Version",
                              "Application[Word].AddIns",
                              "AddIns.Count",
                              "AddIns.Item(1:I4)",
                              "AddIn[Normal.dot].Name",
                              "AddIns.Count",
                              "AddIns.Item(2:I4)",
                              "AddIn[tqbarsv6.dot].Name",
                              "Application[Word].DisplayAlerts = 0:I4",
                              "AddIn[tqbarsv6.dot].Delete()",
                              "Application[Word].DisplayAlerts = -1:I4",
                              "AddIns.Count"},
                             Switching("0:BOOL")}))
        << CallText();
    EXPECT_EQ(*recordAtVersion, std::vector<bool>{false}) << "the record goes before Word is asked";
    EXPECT_EQ(word->wordAddIns, Lines{"Normal.dot"});
    EXPECT_FALSE(word->comAddIns[0].connected);
    EXPECT_EQ(word->quitCalls, 0);
    EXPECT_EQ(IsRunning(), 1u);
    EXPECT_EQ(LeakedObjects(), 0);
}

TEST_F(WordInstallerTest, SwitchOffInAStartedWordQuitsItAfterwards)
{
    const auto word = InstalledWord();
    WriteRecord(HostId::Word);

    EXPECT_EQ(InstallWordAddin(false), 1);

    EXPECT_EQ(Calls(), Join({{"Application[Word].Version",
                              "Application[Word].AddIns",
                              "AddIns.Count",
                              "AddIns.Item(1:I4)",
                              "AddIn[Normal.dot].Name",
                              "AddIns.Count"},
                             Switching("0:BOOL"),
                             kQuit}))
        << CallText();
    EXPECT_FALSE(RecordExists(HostId::Word));
    EXPECT_EQ(LeakedObjects(), 0);
}

TEST_F(WordInstallerTest, SwitchOffRemovesEveryEntryNamingTheTemplateInOneRun)
{
    const auto word = RunningWord();
    word->wordAddIns = {"TQBARSV6.DOT",          "C:\\Vorlagen\\Tqbarsv6.dot",
                        "Normal.dot",            "alt-tqbarsv6.dot.bak",
                        "tqbarsv5.dot",          "tqbarsv6.dot"};

    InstallWordAddin(false);

    EXPECT_EQ(word->wordAddIns, (Lines{"Normal.dot", "tqbarsv5.dot"})) << CallText();
    EXPECT_EQ(word->displayAlertsPuts, (std::vector<long>{0, -1, 0, -1, 0, -1, 0, -1}));
    EXPECT_EQ(word->displayAlerts, -1);
    EXPECT_EQ(LeakedObjects(), 0);
}

TEST_F(WordInstallerTest, SwitchOnLeavesTheTemplateList)
{
    const auto word = RunningWord();
    word->wordAddIns = {"Normal.dot", "tqbarsv6.dot"};

    InstallWordAddin(true);

    EXPECT_EQ(word->wordAddIns, (Lines{"Normal.dot", "tqbarsv6.dot"}));
    EXPECT_EQ(journal_->CountOf("Application.AddIns"), 0);
}

TEST_F(WordInstallerTest, WithoutWordOnlyTheRecordChanges)
{
    CreateSettingsKey();

    EXPECT_EQ(InstallWordAddin(true), 1);
    EXPECT_TRUE(RecordExists(HostId::Word));
    const auto description =
        reg::GetValue(HKEY_CURRENT_USER, RecordPath(HostId::Word), "Description");
    ASSERT_TRUE(description);
    EXPECT_EQ(description->Text(), "TALVO Quillbar for Word XP & 2000");

    EXPECT_EQ(InstallWordAddin(false), 1);
    EXPECT_FALSE(RecordExists(HostId::Word));

    EXPECT_TRUE(Calls().empty()) << CallText();
    EXPECT_FALSE(IsRunning()) << "IsRunning is set only after working on a Word";
}

TEST_F(WordInstallerTest, AWordThatCannotBeStartedLeavesOnlyTheRecord)
{
    MakeCreatableFailing("Word.Application", CO_E_SERVER_EXEC_FAILURE);
    CreateSettingsKey();

    EXPECT_EQ(InstallWordAddin(true), 1);

    EXPECT_TRUE(RecordExists(HostId::Word));
    EXPECT_FALSE(IsRunning());
}

TEST_F(WordInstallerTest, ARunningWordOfALaterVersionIsLeftAlone)
{
    const auto word = RunningWord("12.0");
    word->wordAddIns = {"tqbarsv6.dot"};
    CreateSettingsKey();

    EXPECT_EQ(InstallWordAddin(true), 1);
    EXPECT_TRUE(RecordExists(HostId::Word));
    EXPECT_EQ(InstallWordAddin(false), 1);
    EXPECT_FALSE(RecordExists(HostId::Word));

    EXPECT_EQ(Calls(), (Lines{"Application[Word].Version", "Application[Word].Version"}));
    EXPECT_EQ(word->quitCalls, 0);
    EXPECT_EQ(word->wordAddIns, Lines{"tqbarsv6.dot"});
    EXPECT_EQ(word->commandBars->activeMenuBar->protection, 0);
    EXPECT_FALSE(IsRunning());
    EXPECT_EQ(LeakedObjects(), 0);
}

TEST_F(WordInstallerTest, AStartedWordOfALaterVersionIsQuitAtOnce)
{
    const auto word = InstalledWord("12.0");

    EXPECT_EQ(InstallWordAddin(true), 1);

    EXPECT_EQ(Calls(), Join({{"Application[Word].Version"}, kQuit}));
    EXPECT_TRUE(RecordExists(HostId::Word));
    EXPECT_EQ(LeakedObjects(), 0);
}

TEST_F(WordInstallerTest, AStartedWordOfALaterVersionThatFailsToQuitEndsTheCall)
{
    InstalledWord("12.0");
    journal_->FailCall("Application.Quit", 1, RPC_E_DISCONNECTED);

    EXPECT_EQ(InstallWordAddin(true), 1);

    EXPECT_FALSE(RecordExists(HostId::Word));
    EXPECT_EQ(LeakedObjects(), 0);
}

TEST_F(WordInstallerTest, AnAddinUnknownToWordIsSkippedAndTheRestRuns)
{
    const auto word = RunningWord();
    word->comAddIns.clear();
    CreateSettingsKey();

    EXPECT_EQ(InstallWordAddin(true), 1);

    EXPECT_EQ(journal_->CountOf("COMAddIn.Connect"), 0);
    EXPECT_EQ(journal_->CountOf("Document.Close"), 1);
    EXPECT_TRUE(RecordExists(HostId::Word));
    EXPECT_EQ(IsRunning(), 1u);
}

TEST_F(WordInstallerTest, IsRunningIsSetOnlyInAnExistingSettingsKey)
{
    RunningWord();
    reg::SetDword(HKEY_CURRENT_USER, addin::kWordSettingsKey, addin::kWordSettingsIsRunning, 0);
    InstallWordAddin(false);
    EXPECT_EQ(IsRunning(), 1u);

    reg::DeleteTree(HKEY_CURRENT_USER, addin::kWordSettingsKey);
    InstallWordAddin(true);
    EXPECT_FALSE(SettingsKeyExists());
}

TEST_F(WordInstallerTest, AFailureEndsTheRunBeforeTheRecordAndTheSettings)
{
    const auto word = InstalledWord();
    CreateSettingsKey();
    journal_->FailCall("Application.Version", 1, RPC_E_SERVERCALL_RETRYLATER);

    EXPECT_EQ(InstallWordAddin(true), 1);

    EXPECT_EQ(Calls(), Lines{"Application[Word].Version -> failed 0x8001010A"});
    EXPECT_FALSE(RecordExists(HostId::Word));
    EXPECT_EQ(word->quitCalls, 0) << "a Word the run started is released without Quit";
    EXPECT_FALSE(IsRunning());
    EXPECT_EQ(LeakedObjects(), 0);
}

// ---------------------------------------------------------------------------
// Every call failing once.

struct WordSweepCase {
    const char* name;
    bool running;
    bool enable;
};

class WordFaultSweep : public ::testing::TestWithParam<WordSweepCase> {};

TEST_P(WordFaultSweep, EveryFailingCallEndsTheRunAsItShould)
{
    const WordSweepCase& c = GetParam();
    FaultSweep sweep;
    // The menu bar's protection, the add-in lookup and the hidden document
    // may fail; each leaves out only what needed its result.
    sweep.Tolerate("Application.CommandBars", 2)
        .Tolerate("CommandBars.ActiveMenuBar", 1)
        .Tolerate("CommandBar.Protection")
        .Tolerate("COMAddIns.Item", 1)
        .Tolerate("Application.Documents", 3)
        .Tolerate("Documents.Add", 2)
        .Tolerate("Document.Saved")
        .Tolerate("Document.Close");

    sweep.Run(
        [&](const FailedCall* failing) {
            FreshWorld<WordInstallerTest> world;
            const auto word = c.running ? world.RunningWord() : world.InstalledWord();
            word->wordAddIns = {"Normal.dot", "tqbarsv6.dot", "tqbarsv6.dot"};
            WordInstallerTest::CreateSettingsKey();
            if (!c.enable)
                WriteRecord(HostId::Word);

            const SweepRun run = world.Install(InstallWordAddin, c.enable, failing);
            const bool completed = !failing || failing->tolerated;
            EXPECT_EQ(WordInstallerTest::IsRunning().has_value(), completed);
            EXPECT_EQ(RecordExists(HostId::Word),
                      c.enable && (completed || failing->key != "Application.Version"));
            return run;
        },
        1);
}

INSTANTIATE_TEST_SUITE_P(
    Word, WordFaultSweep,
    ::testing::Values(WordSweepCase{"RunningOn", true, true},
                      WordSweepCase{"RunningOff", true, false},
                      WordSweepCase{"StartedOn", false, true},
                      WordSweepCase{"StartedOff", false, false}),
    [](const ::testing::TestParamInfo<WordSweepCase>& info) { return info.param.name; });

}  // namespace
