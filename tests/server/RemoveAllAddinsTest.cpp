// "-D": the silent remover.

#include "QbsetupFixture.h"

#include "ScratchRegistry.h"
#include "ServerProcess.h"
#include "UniqueHandle.h"
#include "WindowDriver.h"

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

// Each token is carried out in its turn: the last of two opposite ones
// decides, and -D after -RegServer finds the server registered.
TEST_F(RemoveAllAddinsTest, TokensRunLeftToRight)
{
    InstallHost(HostId::Excel, OfficeVersion::V10);
    EnableAddin(HostId::Excel);
    EXPECT_EQ(Qbsetup("-UnregServer -RegServer -D").exitCode, 0u);
    EXPECT_FALSE(AddinRecordExists(HostId::Excel));
    EXPECT_TRUE(reg::KeyExists(HKEY_CLASSES_ROOT, "QBSetup.QuillbarTuner.2"));
    EXPECT_EQ(Qbsetup("-RegServer -UnregServer").exitCode, 0u);
    EXPECT_FALSE(reg::KeyExists(HKEY_CLASSES_ROOT, "QBSetup.QuillbarTuner.2"));
}

// Nothing after -Embedding is read. Started by hand, the server waits for
// its first client for ever; it is asked to end as its monitor would, with
// the quit message, which it reads only once it serves: by then a -D read
// after -Embedding would have run.
TEST_F(RemoveAllAddinsTest, NothingAfterEmbeddingIsRead)
{
    InstallHost(HostId::Excel, OfficeVersion::V10);
    EnableAddin(HostId::Excel);
    std::string commandLine = "\"" + QbsetupPath() + "\" -Embedding -D";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &started));
    const KernelHandle process(started.hProcess);
    const KernelHandle thread(started.hThread);
    // Its thread takes messages once it has a queue.
    EXPECT_TRUE(WaitUntil([&] { return PostThreadMessageA(started.dwThreadId, WM_QUIT, 0, 0); }));
    const bool ended = WaitForSingleObject(process.Get(), kPatienceMs) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(process.Get(), 1);
    EXPECT_TRUE(ended);
    EXPECT_TRUE(AddinRecordExists(HostId::Excel));
}

}  // namespace
