// "-D": the silent remover.

#include "QbsetupFixture.h"

#include "ScratchRegistry.h"
#include "ServerProcess.h"

namespace {

constexpr char kSettingsKey[] = "Software\\Talvoworks\\TLVO6\\Quillbar";

using RemoveAllAddinsTest = QbsetupTest;

TEST_F(RemoveAllAddinsTest, SwitchesOffEveryEnabledAddinOfAnInstalledHost)
{
    for (HostId id : {HostId::Word, HostId::Excel, HostId::PowerPoint, HostId::Outlook}) {
        InstallHost(id, OfficeVersion::V10);
        EnableAddin(id);
    }
    EnableAddin(HostId::FrontPage);  // FrontPage is not installed: its record stays
    reg::SetString(HKEY_CURRENT_USER, std::string(kSettingsKey) + "\\Sub", "x", "y");

    const ProgramRun run = Qbsetup("-D");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    for (HostId id : {HostId::Word, HostId::Excel, HostId::PowerPoint, HostId::Outlook})
        EXPECT_FALSE(AddinRecordExists(id)) << Host(id).officeKey;
    EXPECT_TRUE(AddinRecordExists(HostId::FrontPage));
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, kSettingsKey));
    EXPECT_TRUE(reg::KeyExists(HKEY_CURRENT_USER, "Software\\Talvoworks\\TLVO6"));
}

TEST_F(RemoveAllAddinsTest, WithNothingOnOnlyTheSettingsKeyGoesAndWithoutItNothingHappens)
{
    InstallHost(HostId::Excel, OfficeVersion::V10);
    reg::SetString(HKEY_CURRENT_USER, kSettingsKey, "Value", "x");
    EXPECT_EQ(Qbsetup("/d").exitCode, 0u);
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, kSettingsKey));
    EXPECT_FALSE(AddinRecordExists(HostId::Excel));

    EXPECT_EQ(Qbsetup("-D").exitCode, 0u);
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, kSettingsKey));
}

// A symbolic link below the settings key leads to another key of the user's:
// the link goes with the settings key, the key it leads to stays whole. So
// do subkeys whose names the ANSI code page cannot hold.
TEST_F(RemoveAllAddinsTest, DeletesTheSettingsKeyWithItsLinksButNeverWhatTheyLeadTo)
{
    const std::string target = "Software\\QuillbarLinkTarget" + std::to_string(GetCurrentProcessId());
    reg::SetString(HKEY_CURRENT_USER, target + "\\Documents", "Kept", "yes");
    reg::SetString(HKEY_CURRENT_USER, target, "Kept", "yes");
    reg::SetString(HKEY_CURRENT_USER, kSettingsKey, "Value", "x");
    ASSERT_TRUE(reg::CreateLink(std::string(kSettingsKey) + "\\Link", target));
    ASSERT_TRUE(reg::KeyExists(HKEY_CURRENT_USER, std::string(kSettingsKey) + "\\Link\\Documents"))
        << "the link leads to the target";
    HKEY named = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Talvoworks\\TLVO6\\Quillbar\\S\x0142ownik",
                              0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &named, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(named);

    EXPECT_EQ(Qbsetup("-D").exitCode, 0u);
    EXPECT_FALSE(reg::LinkExists(std::string(kSettingsKey) + "\\Link"));
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, kSettingsKey));
    EXPECT_EQ(reg::GetValue(HKEY_CURRENT_USER, target, "Kept").value_or(reg::Value()).Text(), "yes");
    EXPECT_EQ(reg::GetValue(HKEY_CURRENT_USER, target + "\\Documents", "Kept")
                  .value_or(reg::Value())
                  .Text(),
              "yes");
    reg::DeleteTree(HKEY_CURRENT_USER, target);
}

TEST_F(RemoveAllAddinsTest, TokensRunLeftToRight)
{
    InstallHost(HostId::Excel, OfficeVersion::V10);
    EnableAddin(HostId::Excel);
    const ProgramRun run = Qbsetup("-RegServer -D");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_FALSE(AddinRecordExists(HostId::Excel));
    EXPECT_TRUE(reg::KeyExists(HKEY_CLASSES_ROOT, "QBSetup.QuillbarTuner.2"));

    // Started by hand, the server waits for its first client for ever; it is
    // asked to end as its monitor would.
    EnableAddin(HostId::Excel);
    std::string commandLine = "\"" + QbsetupPath() + "\" -Embedding -D";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    CloseHandle(process.hThread);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 2000), static_cast<DWORD>(WAIT_TIMEOUT));
    EndServerProcesses();
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(process.hProcess);
    EXPECT_TRUE(AddinRecordExists(HostId::Excel)) << "nothing after -Embedding is read";
}

}  // namespace
