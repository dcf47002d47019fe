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

const Lines kRemovingTemplate = {
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
    "AddIns.Count",
};

Lines Switching(const char* connect)
{
    return SwitchingAddin("Word", "Quillbar.QBWordAddin.2", connect);
}

const Lines kHiddenDocument = {
    "Application[Word].Documents",
    "Documents.Add(missing, missing, missing, 0:I2)",
    "Document.Saved = -1:BOOL",
    "Document.Close(missing, missing, missing)",
};

const Lines kQuit = {"Application[Word].Quit(missing, missing, missing)"};

void CreateSettingsKey()
{
    reg::CreateKey(HKEY_CURRENT_USER, addin::kWordSettingsKey);
}

std::optional<DWORD> IsRunning()
{
    const auto value = reg::GetValue(HKEY_CURRENT_USER, addin::kWordSettingsKey,
                                     addin::kWordSettingsIsRunning);
    if (!value || value->type != REG_DWORD || value->data.size() != sizeof(DWORD))
        return std::nullopt;
    return *reinterpret_cast<const DWORD*>(value->data.data());
}

class WordInstallerTest : public InstallerTest {
public:
    // A Word 2003 that knows the add-in: running (in the running-object
    // table), or started by creating "Word.Application".
    std::shared_ptr<ApplicationState> Word(bool running, Lines templates = {"Normal.dot"},
                                           const char* version = "11.0")
    {
        auto word = NewApp(standin::HostKind::Word, version);
        word->comAddIns.push_back({addin::kWordProgId, false});
        word->wordAddIns = std::move(templates);
        if (running)
            MakeRunning(word);
        else
            MakeCreatable("Word.Application", word);
        return word;
    }
};

struct WordCase {
    const char* name;
    bool running;
    bool enable;
    Lines journal;  // with "Normal.dot" and "tqbarsv6.dot" in Word's add-ins list
};

const WordCase kWordCases[] = {
    {"RunningOn", true, true,
     Join({{"Application[Word].Version"}, kProtectingMenuBar, Switching("-1:BOOL"),
           kHiddenDocument})},
    {"StartedOn", false, true,
     Join({{"Application[Word].Version"}, kProtectingMenuBar, Switching("-1:BOOL"), kQuit})},
    {"RunningOff", true, false,
     Join({{"Application[Word].Version"}, kRemovingTemplate, Switching("0:BOOL")})},
    {"StartedOff", false, false,
     Join({{"Application[Word].Version"}, kRemovingTemplate, Switching("0:BOOL"), kQuit})},
};

void PrintTo(const WordCase& c, std::ostream* out)
{
    *out << c.name;
}

std::string CaseName(const ::testing::TestParamInfo<WordCase>& info)
{
    return info.param.name;
}

class WordJournalTest : public WordInstallerTest, public ::testing::WithParamInterface<WordCase> {};

TEST_P(WordJournalTest, FollowsTheStepsInOrder)
{
    const WordCase& c = GetParam();
    const auto word = Word(c.running, {"Normal.dot", "tqbarsv6.dot"});
    CreateSettingsKey();
    if (!c.enable)
        WriteRecord(HostId::Word);
    const auto recordAtVersion = RecordSeenAt(*journal_, "Application.Version", HostId::Word);
    const auto recordAtUpdate = RecordSeenAt(*journal_, "COMAddIns.Update", HostId::Word);

    EXPECT_EQ(InstallWordAddin(c.enable), 1);

    EXPECT_EQ(Calls(), c.journal) << CallText();
    // Switching off removes the record before Word is asked anything; Word
    // re-reads the records after they were changed.
    EXPECT_EQ(*recordAtVersion, std::vector<bool>{false});
    EXPECT_EQ(*recordAtUpdate, std::vector<bool>{c.enable});
    EXPECT_EQ(RecordExists(HostId::Word), c.enable);
    EXPECT_EQ(word->comAddIns[0].connected, c.enable);
    EXPECT_EQ(word->wordAddIns.size(), c.enable ? 2u : 1u);
    EXPECT_EQ(word->commandBars->activeMenuBar->protection, c.enable ? 8 : 0);
    EXPECT_TRUE(word->documents.empty());
    EXPECT_EQ(word->quitCalls, c.running ? 0 : 1);
    EXPECT_EQ(IsRunning(), 1u);
    EXPECT_EQ(LeakedObjects(), 0);
}

INSTANTIATE_TEST_SUITE_P(Word, WordJournalTest, ::testing::ValuesIn(kWordCases), CaseName);

// Only a Word that was running is brought forward, only on switch-on, and
// before its add-in is switched. Its main window is found by class; another
// program's window has the focus before each run. (Only Word's window is
// shown: Wine takes two seconds to destroy a shown window.)
TEST(WordMainWindow, ComesForwardWhenSwitchingOnARunningWord)
{
    const standin::HostWindow other("QuillbarTestOther", "Anderes Programm", false);
    const standin::HostWindow mainWindow("OpusApp", "Dokument1 - Microsoft Word");
    ASSERT_TRUE(mainWindow.Handle());
    for (const WordCase& c : kWordCases) {
        SCOPED_TRACE(c.name);
        FreshWorld<WordInstallerTest> world;
        world.Word(c.running);
        SetForegroundWindow(other.Handle());
        standin::PumpMessages();
        ASSERT_EQ(GetForegroundWindow(), other.Handle());
        HWND foregroundAtUpdate = nullptr;
        world.journal_->Observe("COMAddIns.Update", [&] {
            standin::PumpMessages();
            foregroundAtUpdate = GetForegroundWindow();
        });

        InstallWordAddin(c.enable);

        EXPECT_EQ(foregroundAtUpdate == mainWindow.Handle(), c.running && c.enable);
    }
}

TEST_F(WordInstallerTest, SwitchOffRemovesEveryEntryNamingTheTemplateInOneRun)
{
    const auto word = Word(true, {"TQBARSV6.DOT", "C:\\Vorlagen\\Tqbarsv6.dot", "Normal.dot",
                                  "alt-tqbarsv6.dot.bak", "tqbarsv5.dot", "tqbarsv6.dot"});

    InstallWordAddin(false);

    EXPECT_EQ(word->wordAddIns, (Lines{"Normal.dot", "tqbarsv5.dot"})) << CallText();
    EXPECT_EQ(word->displayAlertsPuts, (std::vector<long>{0, -1, 0, -1, 0, -1, 0, -1}));
}

TEST_F(WordInstallerTest, WithoutWordOnlyTheRecordChanges)
{
    CreateSettingsKey();

    EXPECT_EQ(InstallWordAddin(true), 1);
    const auto description =
        reg::GetValue(HKEY_CURRENT_USER, RecordPath(HostId::Word), "Description");
    ASSERT_TRUE(description);
    EXPECT_EQ(description->Text(), "TALVO Quillbar for Word XP & 2000");

    EXPECT_EQ(InstallWordAddin(false), 1);
    EXPECT_FALSE(RecordExists(HostId::Word));
    EXPECT_FALSE(IsRunning()) << "IsRunning is set only after working on a Word";
}

TEST_F(WordInstallerTest, ARunningWordOfALaterVersionIsLeftAlone)
{
    const auto word = Word(true, {"tqbarsv6.dot"}, "12.0");
    CreateSettingsKey();

    EXPECT_EQ(InstallWordAddin(false), 1);
    EXPECT_EQ(InstallWordAddin(true), 1);

    EXPECT_EQ(Calls(), (Lines{"Application[Word].Version", "Application[Word].Version"}));
    EXPECT_TRUE(RecordExists(HostId::Word));
    EXPECT_EQ(word->quitCalls, 0);
    EXPECT_EQ(word->wordAddIns, Lines{"tqbarsv6.dot"});
    EXPECT_FALSE(IsRunning());
}

// A Word of a later version that the call started is quit at once; when that
// fails, the call ends before the record is written.
TEST_F(WordInstallerTest, AStartedWordOfALaterVersionIsQuitAtOnce)
{
    Word(false, {}, "12.0");
    journal_->FailCall("Application.Quit", 2, RPC_E_DISCONNECTED);

    EXPECT_EQ(InstallWordAddin(true), 1);
    EXPECT_TRUE(RecordExists(HostId::Word));
    UnregisterAddin("Word", addin::kWordProgId);
    EXPECT_EQ(InstallWordAddin(true), 1);
    EXPECT_FALSE(RecordExists(HostId::Word));

    EXPECT_EQ(Calls(), Join({{"Application[Word].Version"}, kQuit,
                             {"Application[Word].Version",
                              kQuit[0] + " -> failed 0x80010108"}}));
    EXPECT_EQ(LeakedObjects(), 0);
}

TEST_F(WordInstallerTest, AnUnknownAddinAndAMissingSettingsKeyArePassedOver)
{
    const auto word = Word(true);
    word->comAddIns.clear();

    EXPECT_EQ(InstallWordAddin(true), 1);

    EXPECT_EQ(journal_->CountOf("COMAddIn.Connect"), 0);
    EXPECT_EQ(journal_->CountOf("Document.Close"), 1) << "the run goes on";
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, addin::kWordSettingsKey));
}

// Every call failing once: the menu bar's protection, the add-in lookup and
// the hidden document may fail, each leaving out only what needed its
// result; any other failure ends the call before the settings are marked.
// A template entry that cannot be deleted still gets Word's alerts back on.
class WordFaultSweep : public ::testing::TestWithParam<WordCase> {};

TEST_P(WordFaultSweep, EveryFailingCallEndsTheRunAsItShould)
{
    const WordCase& c = GetParam();
    const auto arrange = [&](WordInstallerTest& world) {
        world.Word(c.running, {"Normal.dot", "tqbarsv6.dot", "tqbarsv6.dot"});
        CreateSettingsKey();
        if (!c.enable)
            WriteRecord(HostId::Word);
    };
    const std::vector<standin::CallRecord> clean =
        CleanRunCalls<WordInstallerTest>(arrange, InstallWordAddin, c.enable);
    FaultSweep()
        .Tolerate("Application.CommandBars", 2)
        .Tolerate("CommandBars.ActiveMenuBar", 1)
        .Tolerate("CommandBar.Protection")
        .Tolerate("COMAddIns.Item", 1)
        .Tolerate("Application.Documents", 3)
        .Tolerate("Documents.Add", 2)
        .Tolerate("Document.Saved")
        .Tolerate("Document.Close")
        .AfterFailure([&](std::size_t failed) {
            if (clean[failed].Key() == "AddIn.Delete")
                return Lines{"Application[Word].DisplayAlerts = -1:I4"};
            return Lines{};
        })
        .Run(
            [&](const FailedCall* failing) {
                FreshWorld<WordInstallerTest> world;
                arrange(world);

                const SweepRun run = world.Install(InstallWordAddin, c.enable, failing);
                const bool completed = !failing || failing->tolerated;
                EXPECT_EQ(IsRunning().has_value(), completed);
                EXPECT_EQ(RecordExists(HostId::Word),
                          c.enable && (completed || failing->key != "Application.Version"));
                return run;
            },
            1);
}

INSTANTIATE_TEST_SUITE_P(Word, WordFaultSweep, ::testing::ValuesIn(kWordCases), CaseName);

}  // namespace
