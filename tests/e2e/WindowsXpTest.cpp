// The deliverables where Windows reports itself as Windows XP (x64 edition,
// as this prefix is a 64-bit Windows that runs 32-bit programs; 32-bit
// programs see version 5.2): nothing of ours asks for the version and then
// takes a path that only newer systems take. Wine tells every program
// started while HKCU\Software\Wine's Version value is set that version
// (winecfg -v sets the same value); this program, started before, keeps its
// own.

#include "EndToEndFixture.h"

#include "ProgramRun.h"
#include "ScratchRegistry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

// Sets the Windows version that Wine reports to programs started from now
// on, and restores the one before at its end.
class ReportedWindowsVersion {
public:
    explicit ReportedWindowsVersion(const char* version)
        : before_(reg::GetValue(HKEY_CURRENT_USER, kKey, "Version"))
    {
        reg::SetString(HKEY_CURRENT_USER, kKey, "Version", version);
    }
    ~ReportedWindowsVersion()
    {
        if (before_) {
            reg::SetValue(HKEY_CURRENT_USER, kKey, "Version", before_->type, before_->data.data(),
                          static_cast<DWORD>(before_->data.size()));
            return;
        }
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "Version");
            RegCloseKey(key);
        }
    }
    ReportedWindowsVersion(const ReportedWindowsVersion&) = delete;
    ReportedWindowsVersion& operator=(const ReportedWindowsVersion&) = delete;

private:
    static constexpr char kKey[] = "Software\\Wine";
    std::optional<reg::Value> before_;
};

// A JScript client that lists the hosts QuillbarTuner offers.
const char kListScript[] =
    "var tuner = new ActiveXObject(\"QBSetup.QuillbarTuner\");\n"
    "var names = [];\n"
    "for (var i = 0; i < tuner.Count; i++)\n"
    "    names.push(tuner.Name(i) + \" \" + tuner.Enabled(i));\n"
    "WScript.Echo(names.join(\", \"));\n";

// The page's side of the web-page folder, in the 32-bit script host.
const char kFolderScript[] =
    "var folder = new ActiveXObject(\"Talvo6.WebPageFolder\");\n"
    "var captions = [];\n"
    "for (var i = 0; i < folder.Count; i++)\n"
    "    captions.push(folder.Tag(i, \"Caption\"));\n"
    "captions.sort();\n"
    "WScript.Echo(folder.Count + \": \" + captions.join(\", \"));\n";

class OnWindowsXp : public EndToEndTest {};

TEST_F(OnWindowsXp, TunerFindsAndSwitchesHostsAndTheWebPageFolderListsItsEntries)
{
    const ReportedWindowsVersion xp("winxp64");
    const ProgramRun ver = RunProgram("cmd.exe /c ver");
    ASSERT_NE(ver.output.find("5.2.3790"), std::string::npos)
        << "programs started now see Windows XP x64: " << ver.output;

    // The tuner: registered, started by COM, listing and switching hosts in
    // a stand-in Word that runs meanwhile too.
    ASSERT_EQ(Qbsetup("-RegServer").exitCode, 0u);
    InstallHost(HostId::Word, OfficeVersion::V10);
    InstallHost(HostId::Excel, OfficeVersion::V9);
    Configure("Word1", "version = 10.0\naddins = Quillbar.QBWordAddin.2\n"
                       "templates = Normal.dot\n");
    StartRunning("Word1", "Word");
    EXPECT_EQ(RunScript(kListScript), "Microsoft Word 0, Microsoft Excel 0\r\n");
    EXPECT_EQ(RunScript(SwitchScript("Microsoft Word", 1)), "Microsoft Word 1\r\n");
    const std::string word = State("Word1");
    EXPECT_NE(word.find("Quillbar.QBWordAddin.2: connected"), std::string::npos) << word;

    // The web-page folder: the 32-bit library registered by the 32-bit
    // regsvr32, its entries listed by the 32-bit script host.
    const std::string library = "\"" + BinaryFolder() + "tlvshell.dll\"";
    ASSERT_EQ(RunProgram("regsvr32.exe /s " + library).exitCode, 0u);
    const std::string setup = folder_.MakeFolder("Setup");
    reg::SetString(HKEY_LOCAL_MACHINE, "Software\\Talvoworks\\TLVO6\\Folders", "Setup", setup);
    reg::SetString(HKEY_LOCAL_MACHINE, "Software\\Talvoworks\\TLVO6\\Folders", "Root",
                   folder_.Path());
    folder_.Write("Setup\\a.sci", "[.WebPageFolder]\r\nCaption=Alpha\r\nPath=a.exe\r\n");
    folder_.Write("Setup\\b.sci", "[.WebPageFolder]\r\nCaption=Beta\r\nPath=b.exe\r\n");
    const std::string script = folder_.Write("folder.js", kFolderScript);
    const ProgramRun listed = RunProgram("cscript.exe //nologo \"" + script + "\"");
    RunProgram("regsvr32.exe /s /u " + library);
    reg::DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Talvoworks");
    EXPECT_EQ(listed.exitCode, 0u) << listed.output;
    EXPECT_EQ(listed.output, "2: Alpha, Beta\r\n");
}

}  // namespace
