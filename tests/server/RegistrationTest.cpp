#include "QbsetupFixture.h"

#include "ScratchRegistry.h"

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

}  // namespace
