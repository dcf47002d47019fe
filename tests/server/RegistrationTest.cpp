#include "QbsetupFixture.h"

#include "Bstr.h"
#include "ComPtr.h"
#include "QBSetup_h.h"
#include "Registration.h"
#include "ScratchRegistry.h"
#include "ServerProcess.h"
#include "UniqueHandle.h"

#include <psapi.h>

#include <vector>

namespace {

constexpr char kClsid[] = "{63DE7A54-FC93-4b76-BEE4-5C267FE84DBE}";
constexpr char kClassKey[] = "CLSID\\{63DE7A54-FC93-4b76-BEE4-5C267FE84DBE}";
constexpr char kAppIdKey[] = "AppID\\{08CD8342-63B3-4DAE-89B8-A980A37B3D86}";
constexpr char kTypeLibKey[] = "TypeLib\\{0EE88BB0-810E-4CB3-AAA2-F41B245550E2}\\2.0";

std::string Text(HKEY root, const std::string& key, const char* name = nullptr)
{
    const auto value = reg::GetValue(root, key, name);
    if (!value)
        return "<missing>";
    return value->type == REG_SZ ? value->Text() : "<not a string>";
}

std::string ShortPath(const std::string& path)
{
    std::vector<char> buffer(GetShortPathNameA(path.c_str(), nullptr, 0) + 1);
    GetShortPathNameA(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    return buffer.data();
}

using RegistrationTest = QbsetupTest;

TEST_F(RegistrationTest, RegServerWritesClassProgIdsAppIdAndTypeLibrary)
{
    const ProgramRun run = Qbsetup("-RegServer");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);

    for (const char* progId : {"QBSetup.QuillbarTuner.2", "QBSetup.QuillbarTuner"}) {
        EXPECT_EQ(Text(HKEY_CLASSES_ROOT, progId), "QuillbarTuner Class") << progId;
        EXPECT_EQ(Text(HKEY_CLASSES_ROOT, std::string(progId) + "\\CLSID"), kClsid) << progId;
    }
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, kClassKey), "QuillbarTuner Class");
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, kClassKey, "AppID"), "{08CD8342-63B3-4DAE-89B8-A980A37B3D86}");
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\ProgID"), "QBSetup.QuillbarTuner.2");
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\VersionIndependentProgID"),
              "QBSetup.QuillbarTuner");
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\LocalServer32"),
              ShortPath(QbsetupPath()));
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, kAppIdKey, "RunAs"), "Interactive User");

    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, kTypeLibKey), "QBSetup 2.0 Type Library");
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, std::string(kTypeLibKey) + "\\0\\win32"), QbsetupPath());
    const std::string folder = QbsetupPath().substr(0, QbsetupPath().rfind('\\') + 1);
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, std::string(kTypeLibKey) + "\\HELPDIR"), folder);
    EXPECT_TRUE(reg::KeyExists(HKEY_CLASSES_ROOT,
                               "Interface\\{2BA9713A-1413-4D31-BA67-5926D1D55D6E}"));
}

TEST_F(RegistrationTest, RegisteringAgainReplacesTheClassKeyWhole)
{
    ASSERT_EQ(Qbsetup("-RegServer").exitCode, 0u);
    reg::SetString(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\InprocServer32", nullptr,
                   "C:\\stale.dll");
    reg::SetString(HKEY_CLASSES_ROOT, kClassKey, "Stale", "x");

    ASSERT_EQ(Qbsetup("/regserver").exitCode, 0u);
    EXPECT_FALSE(reg::KeyExists(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\InprocServer32"));
    EXPECT_FALSE(reg::GetValue(HKEY_CLASSES_ROOT, kClassKey, "Stale"));
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\LocalServer32"),
              ShortPath(QbsetupPath()));
}

TEST_F(RegistrationTest, UnregServerRemovesItsRecordsAndKeepsTheClsidRoot)
{
    ASSERT_EQ(Qbsetup("-RegServer").exitCode, 0u);
    reg::CreateKey(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\AddedByOthers");

    const ProgramRun run = Qbsetup("-UnregServer");
    EXPECT_EQ(run.exitCode, 0u);
    for (const char* gone : {"QBSetup.QuillbarTuner.2", "QBSetup.QuillbarTuner", kClassKey,
                             kAppIdKey, kTypeLibKey})
        EXPECT_FALSE(reg::KeyExists(HKEY_CLASSES_ROOT, gone)) << gone;
    EXPECT_TRUE(reg::KeyExists(HKEY_CLASSES_ROOT, "CLSID"));

    EXPECT_EQ(Qbsetup("-UnregServer").exitCode, 0u) << "nothing left to remove is no failure";
}

// Creates the folder and every folder above it that is missing.
bool CreateFolders(const std::string& path)
{
    for (std::string::size_type slash = path.find('\\', 3); ; slash = path.find('\\', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (!CreateDirectoryA(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

void RemoveFolders(const std::string& path, const std::string& stopAt)
{
    for (std::string folder = path; folder.size() > stopAt.size();
         folder = folder.substr(0, folder.rfind('\\')))
        RemoveDirectoryA(folder.c_str());
}

std::string ImageOf(DWORD processId)
{
    const KernelHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    char path[MAX_PATH * 2] = {};
    if (!process || !GetModuleFileNameExA(process.Get(), nullptr, path, sizeof path))
        return "<unknown>";
    char longPath[MAX_PATH * 2] = {};
    return GetLongPathNameA(path, longPath, sizeof longPath) ? longPath : path;
}

// Installed where users' installations put it: folders with blanks, an
// apostrophe (Windows allows no double quote in a name), German umlauts and
// a path of more than 200 characters. The records name the copy there, and
// COM starts that copy.
TEST_F(RegistrationTest, RegistersAndServesFromFoldersWithBlanksQuotesUmlautsAndLongPaths)
{
    std::string deep = "C:\\Programme\\TALVO \xDC" "bersetzer";
    while (deep.size() < 200)
        deep += "\\Ein recht langer Ordnername \xE4\xF6\xFC";
    const std::string folders[] = {"C:\\Programme\\TALVO \xDC" "bersetzer",
                                   "C:\\Program Files (x86)\\TALVO's Quillbar", deep};
    for (const std::string& folder : folders) {
        SCOPED_TRACE(folder);
        const std::string program = folder + "\\qbsetup.exe";
        ASSERT_TRUE(CreateFolders(folder));
        ASSERT_TRUE(CopyFileA(QbsetupPath().c_str(), program.c_str(), FALSE));

        const ProgramRun run = RunProgram("\"" + program + "\" -RegServer");
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0u);
        EXPECT_EQ(Text(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\LocalServer32"),
                  ShortPath(program));
        EXPECT_EQ(Text(HKEY_CLASSES_ROOT, std::string(kTypeLibKey) + "\\0\\win32"), program);
        EXPECT_EQ(Text(HKEY_CLASSES_ROOT, std::string(kTypeLibKey) + "\\HELPDIR"), folder + "\\");

        // COM starts that copy through its short path, and through its long
        // one in quotes, as a volume without short names has it registered.
        for (const std::string& command : {ShortPath(program), LocalServerCommand(program)}) {
            SCOPED_TRACE(command);
            reg::SetString(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\LocalServer32",
                           nullptr, command);
            ComPtr<IQuillbarTuner> tuner;
            ASSERT_EQ(CoCreateInstance(CLSID_QuillbarTuner, nullptr, CLSCTX_LOCAL_SERVER,
                                       IID_IQuillbarTuner, tuner.PutVoid()),
                      S_OK);
            long count = -1;
            EXPECT_EQ(tuner->get_Count(&count), S_OK);
            EXPECT_EQ(ImageOf(FindProcess("qbsetup.exe")), program);
            tuner.Reset();
            EndServerProcesses();
        }
        EXPECT_EQ(RunProgram("\"" + program + "\" -UnregServer").exitCode, 0u);
        EXPECT_FALSE(reg::KeyExists(HKEY_CLASSES_ROOT, kClassKey));
        DeleteFileA(program.c_str());
        RemoveFolders(folder, folder.rfind("C:\\Programme", 0) == 0 ? "C:\\Programme"
                                                                      : "C:\\Program Files (x86)");
    }
}

// A path with a blank is registered in quotes: unquoted, COM's start of
// "C:\Program Files\TALVO\qbsetup.exe" would try "C:\Program.exe" first.
TEST(LocalServerCommand, QuotesAPathWithABlankOnly)
{
    const struct {
        const char* path;
        const char* command;
    } cases[] = {
        {"C:\\PROGRA~1\\TALVO\\qbsetup.exe", "C:\\PROGRA~1\\TALVO\\qbsetup.exe"},
        {"C:\\Program Files\\TALVO\\qbsetup.exe", "\"C:\\Program Files\\TALVO\\qbsetup.exe\""},
        {"C:\\TALVO's Quillbar\\qbsetup.exe", "\"C:\\TALVO's Quillbar\\qbsetup.exe\""},
        {"D:\\\xDC" "bersetzer\\qbsetup.exe", "D:\\\xDC" "bersetzer\\qbsetup.exe"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LocalServerCommand(c.path), c.command);
}

}  // namespace
