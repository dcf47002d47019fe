#include "SetupDialogFixture.h"

#include "ClipboardText.h"
#include "HostDetection.h"
#include "OfficeObjects.h"
#include "PreviousTuner.h"
#include "StandInRegistration.h"
#include "ProgramRun.h"
#include "ScratchFolder.h"
#include "ScriboGoHome.h"
#include "TestThread.h"
#include "WindowDriver.h"

#include <stdexcept>

namespace {

constexpr int kWordBox = 1000, kExcelBox = 1001, kPowerPointBox = 1002, kFrontPageBox = 1003,
              kOutlookBox = 1008;
constexpr int kAllBoxes[] = {kWordBox, kExcelBox, kFrontPageBox, kPowerPointBox, kOutlookBox};
constexpr char kCaption[] = "QBSetup";

// The questions and the progress window's title, as the user must see them
// (code page 1252).
const std::string kClipboardQuestion =
    "Die Zwischenablage ist nicht leer. Wenn Sie weiter gehen, wird der "
    "Zwischenablage-Inhalt gel\xF6scht.\nFortsetzen?\n";
const std::string kProgressTitle = "Quillbar: Aktualisieren der \xDC" "bersetzungsmodule...";
const std::string kOldVersionQuestion =
    "Die alte Version des  \xDC" "bersetzungsmoduls ist aktiv. F\xFCr die korrekte Arbeit der "
    "neuen \xDC" "bersetzungsmodul-Version muss die alte Version deaktiviert werden. "
    "Deaktivieren?\n";


// ---------------------------------------------------------------------------
// How the dialog looks.

TEST_F(SetupDialogTest, LayoutTextsAndTabOrderAreAsDesigned)
{
    struct Control {
        int id;
        const char* text;
        RECT units;  // left, top, right, bottom in dialog units
    };
    const Control expected[] = {
        {kWordBox, "Microsoft Word ", {13, 26, 107, 36}},
        {kExcelBox, "Microsoft Excel ", {13, 41, 107, 51}},
        {kFrontPageBox, "Microsoft FrontPage ", {13, 56, 107, 66}},
        {kPowerPointBox, "Microsoft PowerPoint ", {13, 71, 107, 81}},
        {kOutlookBox, "Microsoft Outlook ", {13, 86, 107, 96}},
        {IDOK, "OK", {131, 10, 181, 24}},
        {IDCANCEL, "Abbrechen", {131, 28, 181, 42}},
        {1010, "&Hilfe", {131, 47, 181, 61}},
        {-1, "Einbau der \xDC" "bersetzungsfunktionen in:", {5, 8, 127, 16}},
    };
    const INT_PTR result = RunDialog([&](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), "Quillbar");
        const LONG style = GetWindowLongA(dialog, GWL_STYLE);
        EXPECT_TRUE(style & WS_CAPTION);
        EXPECT_TRUE(style & WS_SYSMENU);
        EXPECT_TRUE(style & WS_MINIMIZEBOX);
        EXPECT_FALSE(style & WS_MAXIMIZEBOX);

        HWND child = GetWindow(dialog, GW_CHILD);
        for (const Control& control : expected) {
            ASSERT_TRUE(child) << control.text;
            EXPECT_EQ(GetDlgCtrlID(child), control.id) << "tab order at " << control.text;
            EXPECT_EQ(WindowText(child), control.text);
            RECT pixels = control.units;
            MapDialogRect(dialog, &pixels);
            RECT actual;
            GetWindowRect(child, &actual);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_EQ(actual.left, pixels.left) << control.text;
            EXPECT_EQ(actual.top, pixels.top) << control.text;
            EXPECT_EQ(actual.right, pixels.right) << control.text;
            EXPECT_EQ(actual.bottom, pixels.bottom) << control.text;
            child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_EQ(GetWindowLongA(GetDlgItem(dialog, kWordBox), GWL_STYLE) & BS_TYPEMASK,
                  BS_AUTOCHECKBOX);
        EXPECT_EQ(SendMessageA(dialog, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));

        // Centred on the desktop.
        RECT desktop;
        RECT window;
        GetClientRect(GetDesktopWindow(), &desktop);
        GetWindowRect(dialog, &window);
        EXPECT_EQ(window.left, (desktop.right - (window.right - window.left)) / 2);
        EXPECT_EQ(window.top, (desktop.bottom - (window.bottom - window.top)) / 2);
        PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(result, 2);
}

TEST_F(SetupDialogTest, BoxesShowWhatIsOfferedInstalledAndSwitchedOn)
{
    Install(HostId::Word);
    EnableAddin(HostId::Word);
    Install(HostId::Excel);
    Install(HostId::FrontPage);  // offered, but the installation forbids switching it
    FrontPageGate("1");
    EnableAddin(HostId::FrontPage);
    EnableAddin(HostId::Outlook);  // on, but Outlook is not installed
    Offer("pp", "1");

    RunDialog([&](HWND dialog) {
        const BoxState word = ReadBox(dialog, kWordBox);
        EXPECT_TRUE(word.enabled && word.checked && word.visible);
        const BoxState excel = ReadBox(dialog, kExcelBox);
        EXPECT_TRUE(excel.enabled && !excel.checked);
        const BoxState frontPage = ReadBox(dialog, kFrontPageBox);
        EXPECT_TRUE(!frontPage.enabled && !frontPage.checked && frontPage.visible);
        const BoxState outlook = ReadBox(dialog, kOutlookBox);
        EXPECT_TRUE(!outlook.enabled && !outlook.checked && outlook.visible);
        const BoxState powerPoint = ReadBox(dialog, kPowerPointBox);
        EXPECT_TRUE(!powerPoint.enabled && powerPoint.visible) << "not offered, but shown";
        PressButton(dialog, IDCANCEL);
    });
    EXPECT_TRUE(installs_.empty());
}

TEST_F(SetupDialogTest, SingleOfferedHostTakesTheWordBoxPlace)
{
    for (const char* code : {"ww", "ex", "fp", "ot"})
        Offer(code, "1");
    Install(HostId::PowerPoint);

    RunDialog([&](HWND dialog) {
        const BoxState wordSlot = ReadBox(dialog, kWordBox);
        const BoxState powerPoint = ReadBox(dialog, kPowerPointBox);
        EXPECT_TRUE(powerPoint.visible && powerPoint.enabled);
        EXPECT_EQ(powerPoint.rect.left, wordSlot.rect.left);
        EXPECT_EQ(powerPoint.rect.top, wordSlot.rect.top);
        EXPECT_EQ(powerPoint.rect.bottom - powerPoint.rect.top,
                  wordSlot.rect.bottom - wordSlot.rect.top);
        for (int id : {kWordBox, kExcelBox, kFrontPageBox, kOutlookBox})
            EXPECT_FALSE(ReadBox(dialog, id).visible) << id;

        RECT help;
        RECT window;
        GetWindowRect(GetDlgItem(dialog, 1010), &help);
        GetWindowRect(dialog, &window);
        EXPECT_EQ(window.bottom, help.bottom + 12);
        PressButton(dialog, IDCANCEL);
    });
}

TEST_F(SetupDialogTest, NothingOfferedStillSwitchesOffWhatIsOn)
{
    for (const char* code : {"ww", "ex", "pp", "fp", "ot"})
        Offer(code, "1");
    Install(HostId::Word);
    EnableAddin(HostId::Word);

    const INT_PTR result = RunDialog([&](HWND dialog) {
        for (int id : kAllBoxes) {
            const BoxState box = ReadBox(dialog, id);
            EXPECT_TRUE(!box.enabled && !box.checked && box.visible) << id;
        }
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(installs_, std::vector<std::string>{"Word off"});
}

// ---------------------------------------------------------------------------
// Applying.

TEST_F(SetupDialogTest, UnchangedBoxesCloseWithoutAskingLockingOrInstalling)
{
    Install(HostId::PowerPoint);
    EnableAddin(HostId::PowerPoint);
    HoldSemaphore(HostId::PowerPoint, 50);
    PutTextOnClipboard("Entwurf");

    EXPECT_EQ(RunDialog([](HWND dialog) { PressButton(dialog, IDOK); }), 1);
    EXPECT_TRUE(installs_.empty());
    EXPECT_EQ(ClipboardText(), "Entwurf");
    EXPECT_EQ(semaphores_[HostId::PowerPoint]->Free(), 50);
}

TEST_F(SetupDialogTest, WordAndExcelChangesLeaveTheClipboardAlone)
{
    Install(HostId::Word);
    Install(HostId::Excel);
    EnableAddin(HostId::Excel);
    PutTextOnClipboard("Entwurf");

    RunDialog([](HWND dialog) {
        ClickCheckBox(dialog, kWordBox);
        ClickCheckBox(dialog, kExcelBox);
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(installs_, (std::vector<std::string>{"Word on", "Excel off"}));
    EXPECT_EQ(ClipboardText(), "Entwurf");
}

TEST_F(SetupDialogTest, ClipboardQuestionAnsweredNoKeepsTheDialogAsItWas)
{
    Install(HostId::PowerPoint);
    PutTextOnClipboard("Entwurf");

    RunDialog([&](HWND dialog) {
        ClickCheckBox(dialog, kPowerPointBox);
        PressButton(dialog, IDOK);
        EXPECT_EQ(AnswerMessageBox(kCaption, IDNO), kClipboardQuestion);
        // Once the dialog's thread handles messages again, the apply is over.
        EXPECT_TRUE(WaitUntil([] { return !FindWindowA("#32770", kCaption); }));
        DWORD_PTR answer = 0;
        EXPECT_NE(SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, kPatienceMs, &answer), 0);
        EXPECT_TRUE(IsWindow(dialog));
        EXPECT_EQ(WindowText(dialog), "Quillbar");
        EXPECT_TRUE(ReadBox(dialog, kPowerPointBox).checked);
        PressButton(dialog, IDCANCEL);
    });
    EXPECT_TRUE(installs_.empty());
    EXPECT_EQ(ClipboardText(), "Entwurf");
}

TEST_F(SetupDialogTest, ClipboardQuestionAnsweredYesEmptiesItBeforeAndAfterSwitchingOn)
{
    Install(HostId::PowerPoint);
    PutTextOnClipboard("Entwurf");
    std::string clipboardDuringInstall;
    install_ = [&](const OfficeHost& host, bool enable) {
        clipboardDuringInstall = ClipboardIsEmpty() ? "empty" : ClipboardText();
        PutTextOnClipboard("button face");  // as the installer leaves it
        installs_.push_back(std::string(host.officeKey) + (enable ? " on" : " off"));
        return 1;
    };
    RunDialog([&](HWND dialog) {
        ClickCheckBox(dialog, kPowerPointBox);
        PressButton(dialog, IDOK);
        EXPECT_EQ(AnswerMessageBox(kCaption, IDYES), kClipboardQuestion);
    });
    EXPECT_EQ(installs_, std::vector<std::string>{"PowerPoint on"});
    EXPECT_EQ(clipboardDuringInstall, "empty");
    EXPECT_TRUE(ClipboardIsEmpty());
}

TEST_F(SetupDialogTest, ProgressWindowReplacesTheDialogWhileInstalling)
{
    Install(HostId::Excel);
    HWND seen = nullptr;
    std::string title;
    bool minimised = false, topmost = false, sysMenu = true, hasChildren = true;
    install_ = [&](const OfficeHost&, bool) {
        seen = FindWindowA("#32770", kProgressTitle.c_str());
        if (seen) {
            title = WindowText(seen);
            minimised = IsIconic(seen) != FALSE;
            topmost = (GetWindowLongA(seen, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
            sysMenu = (GetWindowLongA(seen, GWL_STYLE) & WS_SYSMENU) != 0;
            hasChildren = GetWindow(seen, GW_CHILD) != nullptr;
        }
        return 1;
    };
    RunDialog([](HWND dialog) {
        ClickCheckBox(dialog, kExcelBox);
        PressButton(dialog, IDOK);
    });
    ASSERT_TRUE(seen);
    EXPECT_EQ(title, "Quillbar: Aktualisieren der \xDC" "bersetzungsmodule...");
    EXPECT_TRUE(minimised);
    EXPECT_TRUE(topmost);
    EXPECT_FALSE(sysMenu);
    EXPECT_FALSE(hasChildren);
}

TEST_F(SetupDialogTest, SwitchingOffHoldsTheHostLockAroundTheInstaller)
{
    for (HostId id : {HostId::Word, HostId::Excel, HostId::PowerPoint}) {
        Install(id);
        EnableAddin(id);
        HoldSemaphore(id, 100);
    }
    Install(HostId::Outlook);
    HoldSemaphore(HostId::Outlook, 100);

    RunDialog([](HWND dialog) {
        for (int id : {kWordBox, kPowerPointBox, kOutlookBox})
            ClickCheckBox(dialog, id);
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(installs_, (std::vector<std::string>{"Word off (locked)", "PowerPoint off (locked)",
                                                   "Outlook on"}))
        << "switching on takes no lock";
    for (const auto& [id, semaphore] : semaphores_)
        EXPECT_EQ(semaphore->Free(), 100) << Host(id).officeKey;
}

TEST_F(SetupDialogTest, GivingUpTheWaitStopsTheRemainingHosts)
{
    for (HostId id : {HostId::Word, HostId::Excel}) {
        Install(id);
        EnableAddin(id);
    }
    HoldSemaphore(HostId::Word, 90);

    const INT_PTR result = RunDialog([](HWND dialog) {
        ClickCheckBox(dialog, kWordBox);
        ClickCheckBox(dialog, kExcelBox);
        PressButton(dialog, IDOK);
        HWND wait = WaitForWindow("#32770", "Achtung!");
        ASSERT_TRUE(wait);
        PressButton(wait, IDCANCEL);
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(installs_.empty()) << "neither Word nor Excel after it";
    EXPECT_EQ(semaphores_[HostId::Word]->Free(), 90);
    EXPECT_TRUE(IsAddinEnabled("Word", "Quillbar.QBWordAddin.2"));
}

TEST_F(SetupDialogTest, ForbiddenFrontPageCanStillPromptButIsNotSwitched)
{
    Install(HostId::FrontPage);
    EnableAddin(HostId::FrontPage);
    FrontPageGate("1");
    PutTextOnClipboard("Entwurf");

    RunDialog([](HWND dialog) {
        EXPECT_FALSE(ReadBox(dialog, kFrontPageBox).enabled);
        PressButton(dialog, IDOK);
        EXPECT_EQ(AnswerMessageBox(kCaption, IDYES), kClipboardQuestion);
    });
    EXPECT_TRUE(installs_.empty());
    EXPECT_TRUE(ClipboardIsEmpty());
}

// ---------------------------------------------------------------------------
// One apply at a time.

// While the old-version question is open the dialog stays enabled; a second
// OK must not start a second apply, which would destroy the boxes the first
// one is about to read.
TEST_F(SetupDialogTest, SecondOkDuringTheOldVersionQuestionIsIgnored)
{
    EnableOldAddin(HostId::Outlook);
    Install(HostId::Word);
    EnableAddin(HostId::Word);
    Install(HostId::Excel);

    const INT_PTR result = RunDialog([](HWND dialog) {
        ClickCheckBox(dialog, kExcelBox);
        PressButton(dialog, IDOK);
        ASSERT_TRUE(WaitForWindow("#32770", kCaption));
        // Handled while the question is open; a second apply would still be
        // asking its own question, and the send would not return.
        DWORD_PTR answer = 0;
        EXPECT_NE(SendMessageTimeoutA(dialog, WM_COMMAND, IDOK, 0, SMTO_NORMAL, kPatienceMs, &answer),
                  0)
            << "a second apply asked";
        EXPECT_EQ(AnswerMessageBox(kCaption, IDYES), kOldVersionQuestion);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(installs_, std::vector<std::string>{"Excel on"}) << "Word's box was read as is";
}

// Cancel and the registered message while a question is open end the dialog;
// once the question is answered, nothing is applied.
TEST_F(SetupDialogTest, CancelledDuringAQuestionAppliesNothing)
{
    struct Case {
        const char* name;
        bool oldVersionQuestion;  // else the clipboard question
        bool scriboGoHome;        // else Cancel
    };
    const Case cases[] = {{"old version, Cancel", true, false},
                          {"old version, SCRIBO_GO_HOME", true, true},
                          {"clipboard, Cancel", false, false},
                          {"clipboard, SCRIBO_GO_HOME", false, true}};
    Install(HostId::PowerPoint);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        installs_.clear();
        reg::DeleteTree(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\Outlook");
        if (c.oldVersionQuestion)
            EnableOldAddin(HostId::Outlook);
        PutTextOnClipboard("Entwurf");
        const PreviousTunerClass oldTuner(2);

        const INT_PTR result = RunDialog([&](HWND dialog) {
            ClickCheckBox(dialog, kPowerPointBox);
            PressButton(dialog, IDOK);
            ASSERT_TRUE(WaitForWindow("#32770", kCaption));
            // Handled while the question is open.
            DWORD_PTR answer = 0;
            EXPECT_NE(SendMessageTimeoutA(dialog, c.scriboGoHome ? kScriboGoHome : WM_COMMAND,
                                          c.scriboGoHome ? 0 : IDCANCEL, 0, SMTO_NORMAL,
                                          kPatienceMs, &answer),
                      0);
            EXPECT_EQ(AnswerMessageBox(kCaption, IDYES), (c.oldVersionQuestion ? kOldVersionQuestion : kClipboardQuestion));
        });
        EXPECT_EQ(result, 2);
        EXPECT_TRUE(installs_.empty());
        EXPECT_TRUE(oldTuner.calls().enabledPuts.empty());
        EXPECT_EQ(ClipboardText(), "Entwurf");
    }
}

// Nothing the apply runs can start a second dialog on the thread, and an
// installer that fails with an exception stops neither the hosts after it
// nor the dialog.
TEST_F(SetupDialogTest, NoDialogStartsInsideAnApplyAndAFailingHostStopsNothing)
{
    Install(HostId::Word);
    Install(HostId::Excel);
    INT_PTR nested = 0;
    install_ = [&](const OfficeHost& host, bool enable) -> int {
        installs_.push_back(std::string(host.officeKey) + (enable ? " on" : " off"));
        if (IdOf(host) == HostId::Word) {
            // A dialog that did appear is closed again, so that the test ends.
            Thread closer = StartThread([] {
                if (HWND second = WaitForWindow("#32770", "Quillbar", 2000))
                    PressButton(second, IDCANCEL);
            });
            nested = RunSetupDialog(*operations_);
            closer.Join();
            throw std::runtime_error("installer failed");
        }
        return 1;
    };
    const INT_PTR result = RunDialog([](HWND dialog) {
        ClickCheckBox(dialog, kWordBox);
        ClickCheckBox(dialog, kExcelBox);
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(nested, -1);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(installs_, (std::vector<std::string>{"Word on", "Excel on"}));
}

// ---------------------------------------------------------------------------
// The previous generation.

TEST_F(SetupDialogTest, OldGenerationIsSwitchedOffByItsOwnTunerWhenTheUserAgrees)
{
    EnableOldAddin(HostId::Outlook);
    Install(HostId::Excel);
    const PreviousTunerClass oldTuner(3);
    ASSERT_EQ(oldTuner.Result(), S_OK);

    RunDialog([](HWND dialog) {
        ClickCheckBox(dialog, kExcelBox);
        PressButton(dialog, IDOK);
        EXPECT_EQ(AnswerMessageBox(kCaption, IDYES), kOldVersionQuestion);
    });
    EXPECT_EQ(oldTuner.calls().countCalls, 1);
    EXPECT_EQ(oldTuner.calls().enabledPuts,
              (std::vector<std::pair<long, long>>{{0, 0}, {1, 0}, {2, 0}}));
    EXPECT_EQ(installs_, std::vector<std::string>{"Excel on"});
}

TEST_F(SetupDialogTest, RefusingToSwitchOffTheOldGenerationAppliesNothing)
{
    EnableOldAddin(HostId::Word);
    Install(HostId::Excel);
    const PreviousTunerClass oldTuner(2);

    const INT_PTR result = RunDialog([](HWND dialog) {
        ClickCheckBox(dialog, kExcelBox);
        PressButton(dialog, IDOK);
        AnswerMessageBox(kCaption, IDNO);
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(installs_.empty());
    EXPECT_EQ(oldTuner.calls().countCalls, 0);
}

TEST_F(SetupDialogTest, OldGenerationTunerThatCannotBeReachedOrCountedIsPassedOver)
{
    EnableOldAddin(HostId::Excel);
    Install(HostId::Excel);
    RunDialog([](HWND dialog) {  // no old tuner registered at all
        ClickCheckBox(dialog, kExcelBox);
        PressButton(dialog, IDOK);
        AnswerMessageBox(kCaption, IDYES);
    });
    EXPECT_EQ(installs_, std::vector<std::string>{"Excel on"});

    installs_.clear();
    const PreviousTunerClass failing(2, E_UNEXPECTED);
    RunDialog([](HWND dialog) {
        ClickCheckBox(dialog, kExcelBox);
        PressButton(dialog, IDOK);
        AnswerMessageBox(kCaption, IDYES);
    });
    EXPECT_TRUE(failing.calls().enabledPuts.empty());
    EXPECT_EQ(installs_, std::vector<std::string>{"Excel on"});
}

// ---------------------------------------------------------------------------
// A whole apply through the real installers, against a stand-in PowerPoint
// created by COM under its ProgID.

TEST_F(SetupDialogTest, ApplyBuildsPowerPointsMenuAndToolbarThroughTheInstaller)
{
    Install(HostId::PowerPoint);
    auto journal = std::make_shared<standin::Journal>();
    auto powerPoint = std::make_shared<standin::ApplicationState>(standin::HostKind::PowerPoint);
    powerPoint->comAddIns.push_back({"Quillbar.QBPowerPointAddin.2", false});
    const standin::CreatableClass creatable(
        "PowerPoint.Application.11", [&](REFIID iid, void** object) {
            return standin::MakeApplication(journal, powerPoint)->QueryInterface(iid, object);
        });
    ASSERT_EQ(creatable.Result(), S_OK);
    PutTextOnClipboard("Entwurf");
    UseProductionOperations();

    RunDialog([](HWND dialog) {
        ClickCheckBox(dialog, kPowerPointBox);
        PressButton(dialog, IDOK);
        EXPECT_EQ(AnswerMessageBox(kCaption, IDYES), kClipboardQuestion);
    });

    EXPECT_TRUE(IsAddinEnabled("PowerPoint", "Quillbar.QBPowerPointAddin.2"));
    EXPECT_TRUE(powerPoint->comAddIns[0].connected);
    EXPECT_EQ(powerPoint->quitCalls, 1);
    ASSERT_EQ(powerPoint->commandBars->bars.size(), 3u) << Describe(*powerPoint);
    EXPECT_EQ(powerPoint->commandBars->bars.back()->name, "TALVO6 Quillbar");
    EXPECT_EQ(powerPoint->commandBars->bars.back()->controls.size(), 18u);
    EXPECT_TRUE(ClipboardIsEmpty()) << "the last button's face is gone too";
}

// ---------------------------------------------------------------------------
// Help: quillbar.chm beside the Word add-in, through the HTML Help engine
// that the system registered.

constexpr char kHelpEngineKey[] =
    "Software\\Classes\\CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr char kRecordingEngine[] = "fake_htmlhelp.dll";

// The stand-in engine writes each request into the file returned.
std::string RecordHelpRequests(const ScratchFolder& folder)
{
    const std::string log = folder / "help.log";
    SetEnvironmentVariableA("QUILLBAR_TEST_HELP_LOG", log.c_str());
    return log;
}

// The stand-in engine, registered for the machine.
std::string UseRecordingHelpEngine(const ScratchFolder& folder)
{
    reg::SetString(HKEY_LOCAL_MACHINE, kHelpEngineKey, nullptr, BinaryFolder() + kRecordingEngine);
    return RecordHelpRequests(folder);
}

// The Word add-in as COM finds it, so that help has a file to show.
class WordAddinForHelp {
public:
    WordAddinForHelp()
    {
        reg::SetString(HKEY_CLASSES_ROOT, "CLSID\\" + addin_.ClsidText() + "\\InProcServer32",
                       nullptr, "C:\\Programme\\TALVO\\Quillbar\\qbword.dll");
    }

private:
    const standin::CreatableClass addin_{"Quillbar.QBWordAddin.2",
                                         [](REFIID, void**) { return E_NOTIMPL; }};
};

constexpr char kHelpRequest[] = "C:\\Programme\\TALVO\\Quillbar\\quillbar.chm|15|2061\n";

TEST_F(SetupDialogTest, HelpOpensTheTopicInTheFileBesideTheWordAddin)
{
    const ScratchFolder folder;
    const std::string log = UseRecordingHelpEngine(folder);
    const WordAddinForHelp wordAddin;

    RunDialog([](HWND dialog) {
        PressButton(dialog, 1010);
        PressButton(dialog, 1010);
        PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(ReadWholeFile(log), std::string(kHelpRequest) + kHelpRequest)
        << "topic 2061, HH_HELP_CONTEXT";
}

// The engine is loaded at the first request, once per process: the test of
// which one is loaded has a suite, and so a process, of its own.
class HelpEngineTest : public SetupDialogTest {};

// An engine registered as REG_EXPAND_SZ is found where its value leads; a
// registration of the user's own (under HKEY_CURRENT_USER's classes, which
// HKEY_CLASSES_ROOT would put first) does not replace the system's.
TEST_F(HelpEngineTest, HelpTakesTheEngineTheSystemRegisteredWithItsReferencesExpanded)
{
    const ScratchFolder folder;
    const std::string log = RecordHelpRequests(folder);
    SetEnvironmentVariableA("QUILLBAR_TEST_BIN", BinaryFolder().c_str());
    const std::string expandable = std::string("%QUILLBAR_TEST_BIN%") + kRecordingEngine;
    reg::SetValue(HKEY_LOCAL_MACHINE, kHelpEngineKey, nullptr, REG_EXPAND_SZ, expandable.c_str(),
                  static_cast<DWORD>(expandable.size() + 1));
    reg::SetString(HKEY_CURRENT_USER, kHelpEngineKey, nullptr, "C:\\Elsewhere\\planted.ocx");
    const WordAddinForHelp wordAddin;

    RunDialog([](HWND dialog) {
        PressButton(dialog, 1010);
        PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(ReadWholeFile(log), kHelpRequest);
}

TEST_F(SetupDialogTest, HelpDoesNothingWithoutTheWordAddin)
{
    const ScratchFolder folder;
    const std::string log = UseRecordingHelpEngine(folder);
    RunDialog([](HWND dialog) {
        PressButton(dialog, 1010);
        PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(ReadWholeFile(log), "");
}

// ---------------------------------------------------------------------------
// Other programs.

TEST_F(SetupDialogTest, ScriboGoHomeFromElsewhereCancelsTheDialog)
{
    Install(HostId::Word);
    const INT_PTR result = RunDialog([](HWND dialog) {
        ClickCheckBox(dialog, kWordBox);
        PostMessageA(dialog, kScriboGoHome, 0, 0);
    });
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(installs_.empty());
}

TEST_F(SetupDialogTest, SecondDialogHandsOverToTheFirst)
{
    INT_PTR second = 0;
    const INT_PTR first = RunDialog([&](HWND dialog) {
        Thread other = StartThread([&] {
            CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
            second = RunSetupDialog(*operations_);
            CoUninitialize();
        });
        other.Join();
        EXPECT_EQ(GetForegroundWindow(), dialog);
        PostMessageA(HWND_BROADCAST, kScriboGoHome, 0, 0);
    });
    EXPECT_EQ(second, 1);
    EXPECT_EQ(first, 2);
}

}  // namespace
