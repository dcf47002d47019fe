#include "AddinRecord.h"

#include "HostDetection.h"
#include "ScratchRegistry.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <string>

namespace {

constexpr char kRecord[] = "Software\\Microsoft\\Office\\PowerPoint\\Addins\\Quillbar.QBPowerPointAddin.2";
constexpr char kDescription[] = "TALVO Quillbar for PowerPoint XP & 2000";

HRESULT RegisterPowerPoint()
{
    return RegisterAddin("PowerPoint", "Quillbar.QBPowerPointAddin.2", kDescription, 0, 3);
}

// An in-process server registration in the prefix's real class keys, where
// COM looks ProgIDs up; removed again when the test ends.
class RegisteredProgId {
public:
    explicit RegisteredProgId(const char* serverPath, bool withServerKey = true)
    {
        GUID guid;
        CoCreateGuid(&guid);
        wchar_t text[40];
        StringFromGUID2(guid, text, 40);
        for (const wchar_t* c = text; *c; ++c)
            clsid_ += static_cast<char>(*c);
        progId_ = "QuillbarTest.Addin" + std::to_string(GetCurrentProcessId()) + "." +
                  std::to_string(++counter_);
        reg::SetString(HKEY_LOCAL_MACHINE, kClasses + progId_ + "\\CLSID", nullptr, clsid_);
        if (withServerKey)
            reg::SetString(HKEY_LOCAL_MACHINE, kClasses + "CLSID\\" + clsid_ + "\\InProcServer32",
                           nullptr, serverPath);
        else
            reg::CreateKey(HKEY_LOCAL_MACHINE, kClasses + "CLSID\\" + clsid_);
    }
    ~RegisteredProgId()
    {
        reg::DeleteTree(HKEY_LOCAL_MACHINE, kClasses + progId_);
        reg::DeleteTree(HKEY_LOCAL_MACHINE, kClasses + "CLSID\\" + clsid_);
    }
    const std::string& progId() const { return progId_; }

private:
    inline static const std::string kClasses = "Software\\Classes\\";
    inline static int counter_ = 0;
    std::string progId_;
    std::string clsid_;
};

TEST(AddinKeyPath, NamesTheHostsAddinsKeyWithoutVersion)
{
    EXPECT_EQ(AddinKeyPath("Word", "Quillbar.QBWordAddin.2"),
              "Software\\Microsoft\\Office\\Word\\Addins\\Quillbar.QBWordAddin.2");
}

TEST(GetAddinServerPath, FollowsProgIdToClsidToInProcServer)
{
    const RegisteredProgId registered("C:\\Programme\\TALVO\\qbpp.dll");
    EXPECT_EQ(GetAddinServerPath(registered.progId()), "C:\\Programme\\TALVO\\qbpp.dll");

    const RegisteredProgId noServer("", false);
    EXPECT_EQ(GetAddinServerPath(noServer.progId()), "");
    EXPECT_EQ(GetAddinServerPath("QuillbarTest.Never.Registered"), "");
    EXPECT_EQ(GetAddinServerPath(""), "");
}

TEST(GetAddinServerPath, ReadsPathsLongerThanMaxPathWhole)
{
    const std::string longPath = "C:\\" + std::string(400, 'd') + "\\addin.dll";
    const RegisteredProgId registered(longPath.c_str());
    EXPECT_EQ(GetAddinServerPath(registered.progId()), longPath);
}

class AddinRecordTest : public ::testing::Test {
protected:
    ScratchRegistry scratch_{ScratchRegistry::kCurrentUser};
};

TEST_F(AddinRecordTest, RegisteringWritesTheFiveValuesAndSwitchesOn)
{
    const RegisteredProgId registered("C:\\Addins\\qb.dll");
    ASSERT_EQ(RegisterAddin("Word", registered.progId(), "Desc", 0, 3), S_OK);

    const std::string record = AddinKeyPath("Word", registered.progId());
    const auto fileName = reg::GetValue(HKEY_CURRENT_USER, record, "FileName");
    ASSERT_TRUE(fileName);
    EXPECT_EQ(fileName->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(fileName->Text(), "C:\\Addins\\qb.dll");
    EXPECT_EQ(fileName->data.size(), sizeof "C:\\Addins\\qb.dll");
    EXPECT_TRUE(IsAddinEnabled("Word", registered.progId()));
}

TEST_F(AddinRecordTest, UnregisteredAddinStillGetsARecordWithEmptyFileName)
{
    ASSERT_EQ(RegisterPowerPoint(), S_OK);

    const auto fileName = reg::GetValue(HKEY_CURRENT_USER, kRecord, "FileName");
    ASSERT_TRUE(fileName);
    EXPECT_EQ(fileName->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(fileName->data.size(), 1u);

    for (const char* name : {"FriendlyName", "Description"}) {
        const auto text = reg::GetValue(HKEY_CURRENT_USER, kRecord, name);
        ASSERT_TRUE(text) << name;
        EXPECT_EQ(text->type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(text->Text(), kDescription) << name;
        EXPECT_EQ(text->data.size(), sizeof kDescription) << name;
    }
    const auto commandLineSafe = reg::GetValue(HKEY_CURRENT_USER, kRecord, "CommandLineSafe");
    const auto loadBehavior = reg::GetValue(HKEY_CURRENT_USER, kRecord, "LoadBehavior");
    ASSERT_TRUE(commandLineSafe && loadBehavior);
    EXPECT_EQ(commandLineSafe->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(commandLineSafe->data, (std::vector<BYTE>{0, 0, 0, 0}));
    EXPECT_EQ(loadBehavior->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(loadBehavior->data, (std::vector<BYTE>{3, 0, 0, 0}));

    EXPECT_TRUE(IsAddinEnabled("PowerPoint", "Quillbar.QBPowerPointAddin.2"));
}

TEST_F(AddinRecordTest, RegisteringAgainOverwritesAndKeepsForeignValues)
{
    reg::SetString(HKEY_CURRENT_USER, kRecord, "Foreign", "kept");
    reg::SetDword(HKEY_CURRENT_USER, kRecord, "LoadBehavior", 2);
    reg::SetString(HKEY_CURRENT_USER, kRecord, "FriendlyName", "stale");

    ASSERT_EQ(RegisterPowerPoint(), S_OK);
    ASSERT_EQ(RegisterPowerPoint(), S_OK);

    EXPECT_EQ(reg::GetValue(HKEY_CURRENT_USER, kRecord, "Foreign")->Text(), "kept");
    EXPECT_EQ(reg::GetValue(HKEY_CURRENT_USER, kRecord, "FriendlyName")->Text(), kDescription);
    EXPECT_EQ(reg::GetValue(HKEY_CURRENT_USER, kRecord, "LoadBehavior")->data[0], 3);
    EXPECT_EQ(reg::ValueNames(HKEY_CURRENT_USER, kRecord).size(), 6u);
}

TEST_F(AddinRecordTest, UnregisteringDeletesTheRecordWithItsSubkeysOnly)
{
    ASSERT_EQ(RegisterPowerPoint(), S_OK);
    reg::CreateKey(HKEY_CURRENT_USER, std::string(kRecord) + "\\Sub\\Deeper");
    ASSERT_EQ(RegisterAddin("PowerPoint", "Other.Addin", "x", 0, 3), S_OK);

    EXPECT_EQ(UnregisterAddin("PowerPoint", "Quillbar.QBPowerPointAddin.2"), S_OK);
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, kRecord));
    EXPECT_FALSE(IsAddinEnabled("PowerPoint", "Quillbar.QBPowerPointAddin.2"));
    EXPECT_TRUE(reg::KeyExists(HKEY_CURRENT_USER, AddinKeyPath("PowerPoint", "Other.Addin")));
}

TEST_F(AddinRecordTest, UnregisteringAMissingRecordFailsAndCreatesNothing)
{
    EXPECT_EQ(UnregisterAddin("PowerPoint", "Quillbar.QBPowerPointAddin.2"), E_FAIL);
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\PowerPoint"));
}

}  // namespace
