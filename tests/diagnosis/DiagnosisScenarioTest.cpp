// qbdiag.exe against registry states of the prefix: each scenario breaks one
// thing of a working Word add-in, tuner or shell extension, and names the
// finding that must say so.
#include "DiagnosisRun.h"

#include "AddinContract.h"
#include "AddinRecord.h"
#include "AddinSemaphore.h"
#include "OfficeHost.h"
#include "QbsetupFixture.h"
#include "ScratchFolder.h"
#include "ScratchRegistry.h"

#include "Event.h"
#include "UniqueHandle.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

const std::string kProgId = addin::kWordProgId;
const std::string kClass = "{5E0C1A99-8B7F-4C52-9D61-2F6A3B9C7E10}";  // the test's add-in
const std::string kServerKey = "CLSID\\" + kClass + "\\InprocServer32";
const std::string kRecord = AddinKeyPath("Word", kProgId);
const std::string kFolders = "Software\\Talvoworks\\TLVO6\\Folders";
const std::string kMenuClass = "CLSID\\{E28C61E1-67D8-4005-9BF4-E232B2EB9012}";
const std::string kFolderClass = "CLSID\\{D3E1ABFB-F269-4141-AB03-8E3BEF45AD4C}";
const std::string kMenuHandler = "*\\shellex\\ContextMenuHandlers\\TalvoMenu";
const std::string kTunerProgId = "QBSetup.QuillbarTuner.2";
const std::string kTunerClass = "CLSID\\{63DE7A54-FC93-4B76-BEE4-5C267FE84DBE}";
const std::string kTunerAppId = "AppID\\{08CD8342-63B3-4DAE-89B8-A980A37B3D86}";
const std::string kOtherClass = "{0E0F0E0F-1111-4222-8333-944445555666}";

std::string Library32() { return BinaryFolder() + "tlvshell.dll"; }
std::string Library64() { return BinaryFolder() + "x64\\tlvshell.dll"; }

class DiagnosisTest : public QbsetupTest {
protected:
    DiagnosisTest() { RemoveOwnState(); }
    ~DiagnosisTest() override { RemoveOwnState(); }

    // Word XP with its add-in registered as its installer does and switched
    // on as the tuner does.
    static void ArrangeWorkingWordAddin()
    {
        InstallHost(HostId::Word, OfficeVersion::V10);
        reg::SetString(HKEY_CLASSES_ROOT, kProgId + "\\CLSID", nullptr, kClass);
        reg::SetString(HKEY_CLASSES_ROOT, kServerKey, nullptr, Library32());
        const OfficeHost& word = Host(HostId::Word);
        ASSERT_EQ(RegisterAddin(word.officeKey, word.addinProgId, word.addinDescription, 0, 3),
                  S_OK);
    }

    // The product's folders as its installation writes them, with one .sci
    // entry.
    void ArrangeProductFolders() const
    {
        folder_.Write("Setup\\woerterbuch.sci",
                      "[.WebPageFolder]\r\nCaption=Woerterbuch\r\nPath=wb.exe\r\n");
        reg::SetString(HKEY_LOCAL_MACHINE, kFolders, "Setup", folder_ / "Setup", KEY_WOW64_32KEY);
        reg::SetString(HKEY_LOCAL_MACHINE, kFolders, "Root", folder_.Path(), KEY_WOW64_32KEY);
    }

    // Both libraries' classes in their own views, the context-menu handler
    // and the product's folders, as the installation leaves them.
    void ArrangeWorkingShellExtension() const
    {
        for (const std::string& shellClass : {kMenuClass, kFolderClass}) {
            reg::SetString(HKEY_CLASSES_ROOT, shellClass + "\\InprocServer32", nullptr, Library32(),
                           KEY_WOW64_32KEY);
            reg::SetString(HKEY_CLASSES_ROOT, shellClass + "\\InprocServer32", nullptr, Library64(),
                           KEY_WOW64_64KEY);
        }
        reg::SetString(HKEY_CLASSES_ROOT, kMenuHandler, nullptr, kMenuClass.substr(6));
        ArrangeProductFolders();
    }

    static void RemoveOwnState()
    {
        for (const char* progId : {addin::kWordProgId, addin::kPreviousWordProgId})
            reg::DeleteTree(HKEY_CLASSES_ROOT, progId);
        for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
            for (const std::string& key : {"CLSID\\" + kClass, kMenuClass, kFolderClass})
                reg::DeleteTree(HKEY_CLASSES_ROOT, key, view);
            reg::DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Office\\Word", view);
        }
        reg::DeleteTree(HKEY_CLASSES_ROOT, kMenuHandler);
        reg::DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Talvoworks", KEY_WOW64_32KEY);
    }

    ScratchFolder folder_;
};

// ---------------------------------------------------------------------------
// One broken thing each, and the finding that names it: the only problem in
// its section, whose part of the installation works but for that.

struct Scenario {
    const char* name;
    // "Word" (the add-in), "Tuner" or "Shell": that part is arranged as it
    // works, then broken.
    const char* section;
    // Breaks it; what it returns lives until qbdiag has run.
    std::function<std::shared_ptr<void>()> breakIt;
    const char* id;
    const char* sourcePart;  // a part of the finding's source
};

std::shared_ptr<void> Nothing() { return nullptr; }

// The add-in's server registered anew as `value`, and the add-in switched on
// again since: its record names what is registered, as the tuner writes it.
void ReregisterServer(DWORD type, const void* value, DWORD size)
{
    reg::SetValue(HKEY_CLASSES_ROOT, kServerKey, nullptr, type, value, size);
    const OfficeHost& word = Host(HostId::Word);
    RegisterAddin(word.officeKey, word.addinProgId, word.addinDescription, 0, 3);
}

void ReregisterServer(const std::string& path)
{
    ReregisterServer(REG_SZ, path.c_str(), static_cast<DWORD>(path.size() + 1));
}

const Scenario kScenarios[] = {
    {"LoadBehaviorResetByOffice", "Word",
     [] { reg::SetDword(HKEY_CURRENT_USER, kRecord, "LoadBehavior", 2); return Nothing(); },
     "record.loadBehavior.unloaded", "[LoadBehavior]"},
    {"LoadBehaviorOfAnotherMeaning", "Word",
     [] { reg::SetDword(HKEY_CURRENT_USER, kRecord, "LoadBehavior", 1); return Nothing(); },
     "record.loadBehavior.other", "[LoadBehavior]"},
    {"LoadBehaviorMissing", "Word",
     [] { reg::DeleteValue(HKEY_CURRENT_USER, kRecord, "LoadBehavior"); return Nothing(); },
     "record.loadBehavior.missing", "[LoadBehavior]"},
    {"LoadBehaviorAString", "Word",
     [] { reg::SetString(HKEY_CURRENT_USER, kRecord, "LoadBehavior", "3"); return Nothing(); },
     "record.loadBehavior.type", "[LoadBehavior]"},
    {"FileNameMissing", "Word",
     [] { reg::DeleteValue(HKEY_CURRENT_USER, kRecord, "FileName"); return Nothing(); },
     "record.fileName.missing", "[FileName]"},
    {"FileNameEmpty", "Word",
     [] { reg::SetString(HKEY_CURRENT_USER, kRecord, "FileName", ""); return Nothing(); },
     "record.fileName.empty", "[FileName]"},
    {"FileNameOfAnotherServer", "Word",
     [] {
         reg::SetString(HKEY_CURRENT_USER, kRecord, "FileName", "C:\\Programme\\Alt\\qbword.dll");
         return Nothing();
     },
     "record.fileName.stale", "[FileName]"},
    {"AddinFileMissing", "Word",
     [] {
         ReregisterServer("C:\\Gibt es nicht\\qbword.dll");
         return Nothing();
     },
     "addin.server.fileMissing", "InProcServer32 [(Standard)]"},
    {"SixtyFourBitFileFor32BitOffice", "Word",
     [] { ReregisterServer(Library64()); return Nothing(); },
     "addin.server.fileBitness", "InProcServer32 [(Standard)]"},
    {"RegisteredOnlyIn64BitView", "Word",
     [] {
         reg::DeleteTree(HKEY_CLASSES_ROOT, "CLSID\\" + kClass, KEY_WOW64_32KEY);
         reg::SetString(HKEY_CLASSES_ROOT, kServerKey, nullptr, Library32(), KEY_WOW64_64KEY);
         return Nothing();
     },
     "addin.server.only64", "(64-Bit-Ansicht)"},
    {"RecordForAllUsersUnderHklm", "Word",
     [] {
         reg::SetDword(HKEY_LOCAL_MACHINE, kRecord, "LoadBehavior", 3, KEY_WOW64_32KEY);
         return Nothing();
     },
     "record.machine", "HKLM\\Software\\Microsoft\\Office\\Word\\Addins"},
    {"PreviousGenerationSwitchedOn", "Word",
     [] {
         RegisterAddin("Word", addin::kPreviousWordProgId, "old", 0, 3);
         return Nothing();
     },
     "previous.enabled", "Quillbar.QBWordAddin.1 [FileName]"},
    {"SemaphoreBusy", "Word",
     [] { return std::shared_ptr<void>(std::make_shared<AddinSemaphore>("Word", 97)); },
     "semaphore.busy", "Quillbar.Global.Semaphore.Word"},
    // Broken registrations are findings too.
    {"ProgIdWithoutClsid", "Word",
     [] { reg::DeleteTree(HKEY_CLASSES_ROOT, kProgId + "\\CLSID"); return Nothing(); },
     "addin.progId.noClsid", "Quillbar.QBWordAddin.2\\CLSID"},
    {"InprocServerWithoutValue", "Word",
     [] {
         reg::DeleteTree(HKEY_CLASSES_ROOT, kServerKey);
         reg::CreateKey(HKEY_CLASSES_ROOT, kServerKey);
         return Nothing();
     },
     "addin.server.noValue", "InProcServer32 [(Standard)]"},
    {"InprocServerValueOfWrongType", "Word",
     [] {
         const DWORD one = 1;
         ReregisterServer(REG_DWORD, &one, sizeof one);
         return Nothing();
     },
     "addin.server.type", "InProcServer32 [(Standard)]"},
    {"PathLongerThanMaxPath", "Word",
     [] {
         ReregisterServer("C:\\" + std::string(300, 'x') + "\\qbword.dll");
         return Nothing();
     },
     "addin.server.tooLong", "InProcServer32 [(Standard)]"},
    // A path naming a device is never opened (APipeIsJudgedByItsNameAndNeverOpened).
    {"AddinServerIsADevice", "Word",
     [] { ReregisterServer("NUL"); return Nothing(); },
     "addin.server.fileNotFile", "InProcServer32 [(Standard)]"},
    {"AddinServerIsAReservedNameInAFolder", "Word",
     [] {
         ReregisterServer("C:\\Programme\\TALVO\\com1.dll");
         return Nothing();
     },
     "addin.server.fileNotFile", "InProcServer32 [(Standard)]"},
    {"AddinServerInTheDeviceNamespace", "Word",
     [] {
         ReregisterServer("\\\\?\\GLOBALROOT\\Device\\Null");
         return Nothing();
     },
     "addin.server.fileNotFile", "InProcServer32 [(Standard)]"},
    {"FileNameNotAString", "Word",
     [] {
         reg::SetValue(HKEY_CURRENT_USER, kRecord, "FileName", REG_EXPAND_SZ, "x", 2);
         return Nothing();
     },
     "record.fileName.type", "[FileName]"},
    {"ProgIdMissing", "Word",
     [] { reg::DeleteTree(HKEY_CLASSES_ROOT, kProgId); return Nothing(); },
     "addin.progId.missing", "HKCR\\Quillbar.QBWordAddin.2"},
    {"InprocServerKeyMissing", "Word",
     [] { reg::DeleteTree(HKEY_CLASSES_ROOT, kServerKey); return Nothing(); },
     "addin.server.missing", "InProcServer32 (32-Bit-Ansicht)"},
    {"AddinServerNotAProgram", "Word",
     [] {
         auto folder = std::make_shared<ScratchFolder>();
         ReregisterServer(folder->Write("qbword.dll", "kein Programm"));
         return std::shared_ptr<void>(folder);
     },
     "addin.server.fileNotProgram", "InProcServer32 [(Standard)]"},
    // The tuner, registered by qbsetup.exe -RegServer.
    {"TunerProgIdMissing", "Tuner",
     [] { reg::DeleteTree(HKEY_CLASSES_ROOT, kTunerProgId); return Nothing(); },
     "tuner.progId.missing", "HKCR\\QBSetup.QuillbarTuner.2"},
    {"TunerProgIdNamesAnotherClass", "Tuner",
     [] {
         reg::SetString(HKEY_CLASSES_ROOT, kTunerProgId + "\\CLSID", nullptr, kOtherClass);
         return Nothing();
     },
     "tuner.progId.clsid", "QBSetup.QuillbarTuner.2\\CLSID [(Standard)]"},
    {"TunerClassMissing", "Tuner",
     [] { reg::DeleteTree(HKEY_CLASSES_ROOT, kTunerClass, KEY_WOW64_32KEY); return Nothing(); },
     "tuner.class.missing", "{63DE7A54-FC93-4B76-BEE4-5C267FE84DBE} (32-Bit-Ansicht)"},
    {"TunerAppIdMissing", "Tuner",
     [] { reg::DeleteTree(HKEY_CLASSES_ROOT, kTunerAppId); return Nothing(); },
     "tuner.appId.missing", "HKCR\\AppID\\{08CD8342-63B3-4DAE-89B8-A980A37B3D86}"},
    {"TunerRunsAsTheLaunchingUser", "Tuner",
     [] { reg::DeleteValue(HKEY_CLASSES_ROOT, kTunerAppId, "RunAs"); return Nothing(); },
     "tuner.appId.runAs", "{08CD8342-63B3-4DAE-89B8-A980A37B3D86} [RunAs]"},
    // The shell extension and the product's folders, as installed.
    {"MenuHandlerNamesAnotherClass", "Shell",
     [] {
         reg::SetString(HKEY_CLASSES_ROOT, kMenuHandler, nullptr, kOtherClass);
         return Nothing();
     },
     "shell.handler.clsid", "TalvoMenu [(Standard)]"},
    {"FolderSettingsMissing", "Shell",
     [] { reg::DeleteTree(HKEY_LOCAL_MACHINE, kFolders, KEY_WOW64_32KEY); return Nothing(); },
     "folders.missing", "Talvoworks\\TLVO6\\Folders (32-Bit-Ansicht)"},
    {"SetupFolderMissing", "Shell",
     [] {
         reg::DeleteValue(HKEY_LOCAL_MACHINE, kFolders, "Setup", KEY_WOW64_32KEY);
         return Nothing();
     },
     "folders.setup.missing", "Folders [Setup] (32-Bit-Ansicht)"},
    {"SetupFolderAbsent", "Shell",
     [] {
         reg::SetString(HKEY_LOCAL_MACHINE, kFolders, "Setup", "C:\\Gibt es nicht\\Setup",
                        KEY_WOW64_32KEY);
         return Nothing();
     },
     "folders.setup.absent", "Folders [Setup] (32-Bit-Ansicht)"},
    {"RootFolderMissing", "Shell",
     [] {
         reg::DeleteValue(HKEY_LOCAL_MACHINE, kFolders, "Root", KEY_WOW64_32KEY);
         return Nothing();
     },
     "folders.root.missing", "Folders [Root] (32-Bit-Ansicht)"},
    {"RootFolderAbsent", "Shell",
     [] {
         reg::SetString(HKEY_LOCAL_MACHINE, kFolders, "Root", "C:\\Gibt es nicht",
                        KEY_WOW64_32KEY);
         return Nothing();
     },
     "folders.root.absent", "Folders [Root] (32-Bit-Ansicht)"},
    {"SetupFolderWithoutEntries", "Shell",
     [] {
         auto empty = std::make_shared<ScratchFolder>();
         reg::SetString(HKEY_LOCAL_MACHINE, kFolders, "Setup", empty->Path(), KEY_WOW64_32KEY);
         return std::shared_ptr<void>(empty);
     },
     "folders.entries.none", "*.sci"},
};

class BrokenInstallation : public DiagnosisTest,
                           public ::testing::WithParamInterface<Scenario> {};

TEST_P(BrokenInstallation, IsTheOnlyProblemOfItsSectionWithAHint)
{
    const Scenario& scenario = GetParam();
    const std::string section = scenario.section;
    if (section == "Word")
        ArrangeWorkingWordAddin();
    else if (section == "Tuner")
        ASSERT_EQ(Qbsetup("-RegServer").exitCode, 0u);
    else
        ArrangeWorkingShellExtension();
    const std::shared_ptr<void> keep = scenario.breakIt();

    const DiagnosisRun run = RunDiagnosis();
    ASSERT_TRUE(run.program.finished);
    EXPECT_EQ(run.program.exitCode, 1u);
    const auto problems = run.OfSeverity(section, "problem");
    ASSERT_EQ(problems.size(), 1u) << run.program.output;
    EXPECT_EQ(problems[0].id, scenario.id) << run.program.output;
    EXPECT_NE(problems[0].source.find(scenario.sourcePart), std::string::npos)
        << problems[0].source;
    EXPECT_FALSE(problems[0].hint.empty());
}

INSTANTIATE_TEST_SUITE_P(OneThingBroken, BrokenInstallation, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& info) {
                             return std::string(info.param.name);
                         });

// Opening a pipe connects its server to us (opening a serial line sets its
// signals): the path is judged by its name, and the pipe is never opened.
TEST_F(DiagnosisTest, APipeIsJudgedByItsNameAndNeverOpened)
{
    ArrangeWorkingWordAddin();
    const std::string pipe = "\\\\.\\pipe\\qbprobe" + std::to_string(GetCurrentProcessId());
    const KernelHandle server(CreateNamedPipeA(pipe.c_str(),
                                               PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                               PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 0, 0, nullptr));
    ASSERT_TRUE(server);
    const Event connected(Event::Reset::Manual);
    OVERLAPPED waiting = {};
    waiting.hEvent = connected.Get();
    ASSERT_FALSE(ConnectNamedPipe(server.Get(), &waiting));
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
    reg::SetString(HKEY_CLASSES_ROOT, kServerKey, nullptr, pipe);

    const DiagnosisRun run = RunDiagnosis();

    EXPECT_FALSE(connected.Wait(0)) << "qbdiag connected to the pipe";
    CancelIo(server.Get());
    DWORD ignored = 0;
    GetOverlappedResult(server.Get(), &waiting, &ignored, TRUE);  // before `waiting` goes
    const auto found = run.Find("Word", "addin.server.fileNotFile");
    ASSERT_EQ(found.size(), 1u) << run.program.output;
    EXPECT_EQ(found[0].severity, "problem");
}

// The long-path forms of a file on a drive are files all the same.
TEST_F(DiagnosisTest, AFileNamedThroughTheDeviceNamespaceIsStillAFile)
{
    ArrangeWorkingWordAddin();
    for (const std::string prefix : {"\\\\?\\", "\\\\.\\"}) {
        reg::SetString(HKEY_CLASSES_ROOT, kServerKey, nullptr, prefix + Library32());
        const DiagnosisRun run = RunDiagnosis();
        const auto found = run.Find("Word", "addin.server.file");
        ASSERT_EQ(found.size(), 1u) << prefix << "\n" << run.program.output;
        EXPECT_EQ(found[0].text, "Datei \"" + prefix + Library32() + "\" vorhanden, 32 Bit");
    }
}

// A program without a version block (this test program) is named so, and
// as unsigned.
TEST_F(DiagnosisTest, AProgramWithoutVersionBlockSaysSo)
{
    ArrangeWorkingWordAddin();
    char self[MAX_PATH] = {};
    ASSERT_NE(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    reg::SetString(HKEY_CLASSES_ROOT, kServerKey, nullptr, self);

    const DiagnosisRun run = RunDiagnosis();
    const auto version = run.Find("Word", "addin.server.noVersion");
    ASSERT_EQ(version.size(), 1u) << run.program.output;
    EXPECT_EQ(version[0].text, "ohne Versionsangabe (keine Versionsressource)");
    EXPECT_EQ(version[0].severity, "info");
    const auto signature = run.Find("Word", "addin.server.unsigned");
    ASSERT_EQ(signature.size(), 1u) << run.program.output;
    EXPECT_EQ(signature[0].text, "nicht signiert");
    EXPECT_EQ(signature[0].severity, "note");
}

// Registry data may hold any character: a control character in a value's
// name is shown escaped, and each finding keeps its line of the text report.
TEST_F(DiagnosisTest, ControlCharactersInRegistryDataKeepEachFindingOnItsLine)
{
    ArrangeWorkingWordAddin();
    reg::SetDword(HKEY_CURRENT_USER, kRecord, "Zeile\nzwei\x01", 1);

    const ProgramRun text = RunDiagnosisText();

    const std::string line = "        Zeile\\x0Azwei\\x01 = 1 (REG_DWORD)  [HKCU\\" + kRecord +
                             " [Zeile\\x0Azwei\\x01]]\r\n";
    EXPECT_NE(text.output.find("\r\n  " + line), std::string::npos) << text.output;
}

// A console shows what its code page holds: a character of the registry's
// ANSI text that the console's code page lacks (the euro sign, which the OEM
// code page 437 has not) is shown escaped, never as '?' or dropped.
TEST_F(DiagnosisTest, TheConsoleShowsWhatItsCodePageCannotHoldEscaped)
{
    ArrangeWorkingWordAddin();
    reg::SetDword(HKEY_CURRENT_USER, kRecord, "Pr\x80mie", 1);

    const ConsoleRun run = RunDiagnosisInConsole();

    ASSERT_TRUE(run.finished);
    ASSERT_EQ(run.codePage, 437u) << "a console code page without the euro sign";
    EXPECT_NE(run.shown.find("\n          Pr\\u20ACmie = 1 (REG_DWORD)  ["), std::string::npos)
        << run.shown;
    // What the code page holds stays as it is.
    EXPECT_NE(run.shown.find("Schl\xC3\xBCssel fehlt"), std::string::npos) << run.shown;
}

TEST_F(DiagnosisTest, BusySemaphoreIsOnlyLookedAt)
{
    const AddinSemaphore semaphore("Word", 97);
    const DiagnosisRun run = RunDiagnosis();
    EXPECT_EQ(semaphore.Free(), 97);
    ASSERT_TRUE(run.program.finished);
    const auto busy = run.Find("Word", "semaphore.busy");
    ASSERT_EQ(busy.size(), 1u) << run.program.output;
    EXPECT_EQ(busy[0].text, "Semaphore belegt: 3 von 100 Z\xC3\xA4hlern gehalten, das Add-in "
                            "\xC3\xBC" "bersetzt gerade oder hat einen Dialog offen; Ausschalten "
                            "wartet im Dialog \"Achtung!\"");
    EXPECT_EQ(busy[0].source, "Semaphore Quillbar.Global.Semaphore.Word");
}

TEST_F(DiagnosisTest, ProblemsOfAHostThatIsNotInstalledAreOnlyNotes)
{
    ArrangeWorkingWordAddin();
    reg::DeleteTree(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\10.0");
    reg::SetDword(HKEY_CURRENT_USER, kRecord, "LoadBehavior", 2);

    const DiagnosisRun run = RunDiagnosis();
    const auto found = run.Find("Word", "record.loadBehavior.unloaded");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].severity, "note");
    EXPECT_EQ(run.Find("Word", "installation.none").size(), 1u);
}

TEST_F(DiagnosisTest, EachProbeNamesTheKeyThatDecidedIt)
{
    InstallHost(HostId::Word, OfficeVersion::V10);
    reg::SetString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Office\\9.0\\Word\\InstallRoot",
                   "Path", "", KEY_WOW64_32KEY);

    const DiagnosisRun run = RunDiagnosis();
    const auto versions = run.Find("Word", "installation.version");
    ASSERT_EQ(versions.size(), 3u);
    EXPECT_EQ(versions[0].source,
              "HKLM\\Software\\Microsoft\\Office\\9.0\\Word\\InstallRoot [Path] (32-Bit-Ansicht)");
    EXPECT_EQ(versions[1].source, "HKCU\\Software\\Microsoft\\Office\\10.0\\Word\\Data");
    EXPECT_NE(versions[1].text.find(" installiert und"), std::string::npos) << versions[1].text;
    EXPECT_EQ(versions[2].source,
              "HKLM\\Software\\Microsoft\\Office\\11.0\\Word\\InstallRoot (32-Bit-Ansicht)");
}

// The tuner's server path with blanks, registered in quotes (as where the
// volume keeps no short names, with or without an argument after it) or
// without (then COM's CreateProcess tries each part up to a blank in turn):
// the file it names is judged either way.
TEST_F(DiagnosisTest, TunerServerPathWithBlanksIsReadQuotedOrNot)
{
    const ScratchFolder folder;
    const std::string program = folder.MakeFolder("TALVO Quillbar") + "\\qbsetup.exe";
    ASSERT_TRUE(CopyFileA(QbsetupPath().c_str(), program.c_str(), FALSE));
    ASSERT_EQ(Qbsetup("-RegServer").exitCode, 0u);
    const std::string serverKey =
        "CLSID\\{63DE7A54-FC93-4b76-BEE4-5C267FE84DBE}\\LocalServer32";
    for (const std::string& value : {"\"" + program + "\"", "\"" + program + "\" -Embedding",
                                     program, program + " -Automation"}) {
        SCOPED_TRACE(value);
        reg::SetString(HKEY_CLASSES_ROOT, serverKey, nullptr, value, KEY_WOW64_32KEY);

        const DiagnosisRun run = RunDiagnosis();
        const auto found = run.Find("Tuner", "tuner.server.file");
        ASSERT_EQ(found.size(), 1u) << run.program.output;
        EXPECT_EQ(found[0].text, "Datei \"" + program + "\" vorhanden, 32 Bit");
    }
}

// ---------------------------------------------------------------------------
// Everything in place: the add-in, the tuner and the shell extension as their
// own registrations write them, the product's folders with one .sci entry.

DWORD Regsvr32(const std::string& tools, const std::string& options, const std::string& library)
{
    return RunProgram(tools + "regsvr32.exe /s " + options + " \"" + library + "\"").exitCode;
}

class HealthyInstallation : public DiagnosisTest {
protected:
    ~HealthyInstallation() override
    {
        Regsvr32(kTools32, "/u", Library32());
        Regsvr32(kTools64, "/u", Library64());
    }

    static inline const std::string kTools32 = "C:\\windows\\syswow64\\";
    static inline const std::string kTools64 = "C:\\windows\\sysnative\\";
};

TEST_F(HealthyInstallation, ReportsNoProblemAndExitsWithZero)
{
    ArrangeWorkingWordAddin();
    ASSERT_EQ(Qbsetup("-RegServer").exitCode, 0u);
    ASSERT_EQ(Regsvr32(kTools32, "", Library32()), 0u);
    ASSERT_EQ(Regsvr32(kTools64, "", Library64()), 0u);
    ArrangeProductFolders();

    const DiagnosisRun run = RunDiagnosis();
    EXPECT_EQ(run.program.exitCode, 0u) << run.program.output;
    EXPECT_EQ(run.problems, 0);
    // The build's files are not signed: each one's only note says so.
    std::vector<std::string> notes;
    for (const char* section : {"Word", "Tuner", "Shell"})
        for (const ReportedFinding& note : run.OfSeverity(section, "note"))
            notes.push_back(std::string(section) + ": " + note.id);
    EXPECT_EQ(notes, (std::vector<std::string>{
                         "Word: addin.server.unsigned", "Tuner: tuner.server.unsigned",
                         "Tuner: tuner.typeLibrary.unsigned", "Shell: shell.menu32.unsigned",
                         "Shell: shell.folder32.unsigned", "Shell: shell.menu64.unsigned",
                         "Shell: shell.folder64.unsigned"}))
        << run.program.output;
    EXPECT_EQ(run.Find("Word", "record.loadBehavior").size(), 1u);
    EXPECT_EQ(run.Find("Word", "addin.server.file").size(), 1u);
    const auto version = run.Find("Word", "addin.server.version");
    ASSERT_EQ(version.size(), 1u) << run.program.output;
    EXPECT_EQ(version[0].text, "Dateiversion 6.0.0.4");
    EXPECT_EQ(run.Find("Shell", "shell.menu64.file").size(), 1u);
    const auto entries = run.Find("Shell", "folders.entries");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].text, "1 Eintrag aus .sci-Dateien");

    const ProgramRun text = RunDiagnosisText();
    EXPECT_EQ(text.exitCode, 0u);
    EXPECT_EQ(text.output.rfind("Quillbar-Diagnose: kein Problem gefunden\r\n", 0), 0u)
        << text.output;
    EXPECT_NE(text.output.find("\r\nMicrosoft Word\r\n"), std::string::npos);
}

// 64-bit Explorer and script hosts load what the 64-bit view names, with
// their own environment and their own System32: a library in the 64-bit
// System32, and one written as %ProgramFiles%\... (which they expand to the
// 64-bit program folder), are there for them.
TEST_F(HealthyInstallation, SixtyFourBitRegistrationsAreJudgedAs64BitWindowsSeesThem)
{
    ASSERT_EQ(Regsvr32(kTools64, "", Library64()), 0u);
    char programFiles[MAX_PATH] = {};
    ASSERT_NE(GetEnvironmentVariableA("ProgramW6432", programFiles, MAX_PATH), 0u);
    const std::string name = "qbdiag-test-" + std::to_string(GetCurrentProcessId());
    const std::string inSystem32 = "C:\\windows\\system32\\" + name + ".dll";
    const std::string seenFromHere = "C:\\windows\\sysnative\\" + name + ".dll";
    const std::string inProgramFiles = std::string(programFiles) + "\\" + name;
    ASSERT_TRUE(CopyFileA(Library64().c_str(), seenFromHere.c_str(), FALSE));
    ASSERT_TRUE(CreateDirectoryA(inProgramFiles.c_str(), nullptr));
    ASSERT_TRUE(CopyFileA(Library64().c_str(), (inProgramFiles + "\\tlvshell.dll").c_str(), FALSE));
    const std::string menu = "CLSID\\{E28C61E1-67D8-4005-9BF4-E232B2EB9012}\\InprocServer32";
    const std::string folder = "CLSID\\{D3E1ABFB-F269-4141-AB03-8E3BEF45AD4C}\\InprocServer32";
    reg::SetString(HKEY_CLASSES_ROOT, menu, nullptr, inSystem32, KEY_WOW64_64KEY);
    const std::string expandable = "%ProgramFiles%\\" + name + "\\tlvshell.dll";
    reg::SetValue(HKEY_CLASSES_ROOT, folder, nullptr, REG_EXPAND_SZ, expandable.c_str(),
                  static_cast<DWORD>(expandable.size() + 1), KEY_WOW64_64KEY);

    const DiagnosisRun run = RunDiagnosis();
    DeleteFileA(seenFromHere.c_str());
    DeleteFileA((inProgramFiles + "\\tlvshell.dll").c_str());
    RemoveDirectoryA(inProgramFiles.c_str());

    const struct {
        const char* id;
        std::string file;
    } judged[] = {{"shell.menu64.file", inSystem32},
                  {"shell.folder64.file", inProgramFiles + "\\tlvshell.dll"}};
    for (const auto& registration : judged) {
        const auto found = run.Find("Shell", registration.id);
        ASSERT_EQ(found.size(), 1u) << registration.id;
        EXPECT_EQ(found[0].text, "Datei \"" + registration.file + "\" vorhanden, 64 Bit");
    }
}

TEST(QbdiagCommandLine, UnknownArgumentGivesNoReport)
{
    const ProgramRun run = RunProgram("\"" + BinaryFolder() + "qbdiag.exe\" --fix");
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.output.find("--json"), std::string::npos) << run.output;
}

}  // namespace
