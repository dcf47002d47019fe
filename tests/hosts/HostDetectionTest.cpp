#include "HostDetection.h"

#include "AddinContract.h"
#include "ScratchRegistry.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using V = OfficeVersion;

class HostDetectionTest : public ::testing::Test {
protected:
    ScratchRegistry scratch_;
};

// ---------------------------------------------------------------------------
// The twelve probes that look for InstallRoot\Path plus a per-user trace,
// with their paths written out literally.

struct InstallRootProbe {
    HostId host;
    OfficeVersion version;
    const char* installRoot;  // HKLM
    const char* userKey;      // HKCU
    bool userKeyNeedsSettings;
};

const InstallRootProbe kInstallRootProbes[] = {
    {HostId::Word, V::V9, "Software\\Microsoft\\Office\\9.0\\Word\\InstallRoot", "Software\\Microsoft\\Office\\9.0\\Word\\Data", false},
    {HostId::Word, V::V10, "Software\\Microsoft\\Office\\10.0\\Word\\InstallRoot", "Software\\Microsoft\\Office\\10.0\\Word\\Data", false},
    {HostId::Word, V::V11, "Software\\Microsoft\\Office\\11.0\\Word\\InstallRoot", "Software\\Microsoft\\Office\\11.0\\Word\\Data", false},
    {HostId::Excel, V::V9, "Software\\Microsoft\\Office\\9.0\\Excel\\InstallRoot", "Software\\Microsoft\\Office\\9.0\\Excel\\Options", false},
    {HostId::Excel, V::V10, "Software\\Microsoft\\Office\\10.0\\Excel\\InstallRoot", "Software\\Microsoft\\Office\\10.0\\Excel\\Options", false},
    {HostId::Excel, V::V11, "Software\\Microsoft\\Office\\11.0\\Excel\\InstallRoot", "Software\\Microsoft\\Office\\11.0\\Excel\\Options", false},
    {HostId::PowerPoint, V::V9, "Software\\Microsoft\\Office\\9.0\\PowerPoint\\InstallRoot", "Software\\Microsoft\\Office\\9.0\\PowerPoint\\Options", false},
    {HostId::PowerPoint, V::V10, "Software\\Microsoft\\Office\\10.0\\PowerPoint\\InstallRoot", "Software\\Microsoft\\Office\\10.0\\PowerPoint\\Options", false},
    {HostId::PowerPoint, V::V11, "Software\\Microsoft\\Office\\11.0\\PowerPoint\\InstallRoot", "Software\\Microsoft\\Office\\11.0\\PowerPoint\\Options", false},
    {HostId::Outlook, V::V9, "Software\\Microsoft\\Office\\9.0\\Outlook\\InstallRoot", "Software\\Microsoft\\Office\\9.0\\Outlook", true},
    {HostId::Outlook, V::V10, "Software\\Microsoft\\Office\\10.0\\Outlook\\InstallRoot", "Software\\Microsoft\\Office\\10.0\\Outlook", true},
    {HostId::Outlook, V::V11, "Software\\Microsoft\\Office\\11.0\\Outlook\\InstallRoot", "Software\\Microsoft\\Office\\11.0\\Outlook", true},
};

class InstallRootProbeTest : public ::testing::TestWithParam<InstallRootProbe> {
protected:
    bool Probe() const
    {
        return IsHostVersionInstalled(Host(GetParam().host), GetParam().version);
    }
    void AddUserTrace() const
    {
        if (GetParam().userKeyNeedsSettings)
            reg::SetString(HKEY_CURRENT_USER, GetParam().userKey, "Settings", "");
        else
            reg::CreateKey(HKEY_CURRENT_USER, GetParam().userKey);
    }
    ScratchRegistry scratch_;
};

TEST_P(InstallRootProbeTest, NeedsANonEmptyPathAndTheUsersKey)
{
    const InstallRootProbe& p = GetParam();
    EXPECT_FALSE(Probe()) << "empty registry";

    AddUserTrace();
    EXPECT_FALSE(Probe()) << "user key without InstallRoot";

    reg::CreateKey(HKEY_LOCAL_MACHINE, p.installRoot);
    EXPECT_FALSE(Probe()) << "InstallRoot without Path";

    reg::SetString(HKEY_LOCAL_MACHINE, p.installRoot, "Path", "");
    EXPECT_FALSE(Probe()) << "empty Path";

    reg::SetString(HKEY_LOCAL_MACHINE, p.installRoot, "Path", "C:\\Office\\");
    EXPECT_TRUE(Probe());
    EXPECT_TRUE(IsHostInstalled(Host(p.host)));

    for (OfficeVersion other : {V::V9, V::V10, V::V11}) {
        if (other != p.version) {
            EXPECT_FALSE(IsHostVersionInstalled(Host(p.host), other)) << VersionText(other);
        }
    }
}

TEST_P(InstallRootProbeTest, DescribesItsChecksInTheOrderItMakesThem)
{
    const InstallRootProbe& p = GetParam();
    const std::vector<ProbeCheck> checks = VersionProbeChecks(Host(p.host), p.version);
    ASSERT_EQ(checks.size(), 2u);
    EXPECT_EQ(checks[0].root, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(checks[0].path, p.installRoot);
    EXPECT_EQ(checks[0].test, ProbeCheck::Test::StringNotEmpty);
    EXPECT_EQ(checks[1].root, HKEY_CURRENT_USER);
    EXPECT_EQ(checks[1].path, p.userKey);
    EXPECT_EQ(checks[1].test, p.userKeyNeedsSettings ? ProbeCheck::Test::ValueExists
                                                     : ProbeCheck::Test::KeyOpens);

    // The probe's answer is its checks' answer, and the first check that
    // fails is the one that decides.
    reg::SetString(HKEY_LOCAL_MACHINE, p.installRoot, "Path", "C:\\Office\\");
    EXPECT_TRUE(ProbeCheckHolds(checks[0]));
    EXPECT_FALSE(ProbeCheckHolds(checks[1]));
    EXPECT_FALSE(Probe());
}

TEST_P(InstallRootProbeTest, InstalledButNeverStartedByThisUserDoesNotCount)
{
    reg::SetString(HKEY_LOCAL_MACHINE, GetParam().installRoot, "Path", "C:\\Office\\");
    EXPECT_FALSE(Probe());
    EXPECT_FALSE(IsHostInstalled(Host(GetParam().host)));
}

INSTANTIATE_TEST_SUITE_P(EveryHostAndVersion, InstallRootProbeTest,
                         ::testing::ValuesIn(kInstallRootProbes),
                         [](const ::testing::TestParamInfo<InstallRootProbe>& info) {
                             std::string name = Host(info.param.host).officeKey;
                             name += VersionText(info.param.version);
                             return name.substr(0, name.find('.'));
                         });

TEST_F(HostDetectionTest, OutlookNeedsASettingsValueOfAnyTypeEvenEmpty)
{
    const std::string installRoot = "Software\\Microsoft\\Office\\10.0\\Outlook\\InstallRoot";
    const std::string profile = "Software\\Microsoft\\Office\\10.0\\Outlook";
    reg::SetString(HKEY_LOCAL_MACHINE, installRoot, "Path", "C:\\Office\\");
    reg::SetString(HKEY_CURRENT_USER, profile, "Other", "x");
    EXPECT_FALSE(IsHostVersionInstalled(Host(HostId::Outlook), V::V10)) << "no Settings value";

    reg::SetValue(HKEY_CURRENT_USER, profile, "Settings", REG_BINARY, nullptr, 0);
    EXPECT_TRUE(IsHostVersionInstalled(Host(HostId::Outlook), V::V10)) << "empty binary";
    reg::SetDword(HKEY_CURRENT_USER, profile, "Settings", 0);
    EXPECT_TRUE(IsHostVersionInstalled(Host(HostId::Outlook), V::V10)) << "dword";
}

// ---------------------------------------------------------------------------
// FrontPage: a chain of keys, two of them shared by every version.

constexpr char kFrontPageClass[] = "CLSID\\{04DF1015-7007-11D1-83BC-006097ABE675}";
constexpr char kFrontPageEditor[] =
    "Software\\Microsoft\\FrontPage\\Editor\\FrontPage Editor\\Settings";

// Answers of the 2000, 10.0 and 11.0 probes, in this order.
using FrontPageProbes = std::array<bool, 3>;

FrontPageProbes ProbeFrontPage()
{
    const OfficeHost& frontPage = Host(HostId::FrontPage);
    return {IsHostVersionInstalled(frontPage, V::V9), IsHostVersionInstalled(frontPage, V::V10),
            IsHostVersionInstalled(frontPage, V::V11)};
}

const FrontPageProbes kNone = {false, false, false};

TEST_F(HostDetectionTest, FrontPage2000NeedsOnlyTheSharedKeys)
{
    EXPECT_EQ(ProbeFrontPage(), kNone);
    reg::CreateKey(HKEY_CLASSES_ROOT, kFrontPageClass);
    EXPECT_EQ(ProbeFrontPage(), kNone);
    reg::CreateKey(HKEY_CURRENT_USER, kFrontPageEditor);
    EXPECT_EQ(ProbeFrontPage(), (FrontPageProbes{true, false, false}));
    EXPECT_TRUE(IsHostInstalled(Host(HostId::FrontPage)));
}

TEST_F(HostDetectionTest, FrontPageLaterVersionsAlsoNeedTheirOfficeKey)
{
    reg::CreateKey(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\10.0\\FrontPage");
    reg::CreateKey(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\11.0\\FrontPage");
    reg::CreateKey(HKEY_CURRENT_USER, kFrontPageEditor);
    EXPECT_EQ(ProbeFrontPage(), kNone) << "class key missing";

    reg::CreateKey(HKEY_CLASSES_ROOT, kFrontPageClass);
    EXPECT_EQ(ProbeFrontPage(), (FrontPageProbes{true, true, true}));

    reg::DeleteTree(HKEY_CURRENT_USER, kFrontPageEditor);
    EXPECT_EQ(ProbeFrontPage(), kNone) << "editor settings missing";
}

TEST_F(HostDetectionTest, OnlyOffice2003InstalledStillCountsAsInstalled)
{
    reg::SetString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Office\\11.0\\Excel\\InstallRoot",
                   "Path", "C:\\Office11\\");
    reg::CreateKey(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\11.0\\Excel\\Options");
    EXPECT_TRUE(IsHostInstalled(Host(HostId::Excel)));
    EXPECT_FALSE(IsHostVersionInstalled(Host(HostId::Excel), V::V10));
    EXPECT_FALSE(IsHostVersionInstalled(Host(HostId::Excel), V::V9));
    EXPECT_FALSE(IsHostInstalled(Host(HostId::Word)));
}

// ---------------------------------------------------------------------------
// Switched on means: the record exists and its "FileName" is a REG_SZ.

TEST_F(HostDetectionTest, AddinIsEnabledExactlyWhenFileNameIsANonEmptyRegSz)
{
    const std::string record = "Software\\Microsoft\\Office\\Word\\Addins\\Quillbar.QBWordAddin.2";
    const auto enabled = [] { return IsAddinEnabled("Word", addin::kWordProgId); };

    EXPECT_FALSE(enabled()) << "no record";
    reg::SetDword(HKEY_CURRENT_USER, record, "LoadBehavior", 3);
    EXPECT_FALSE(enabled()) << "record without FileName";
    reg::SetValue(HKEY_CURRENT_USER, record, "FileName", REG_SZ, nullptr, 0);
    EXPECT_FALSE(enabled()) << "REG_SZ without even a terminator";
    reg::SetString(HKEY_CURRENT_USER, record, "FileName", "");
    EXPECT_TRUE(enabled()) << "empty REG_SZ has size 1";
    reg::SetValue(HKEY_CURRENT_USER, record, "FileName", REG_EXPAND_SZ, "C:\\a.dll", 9);
    EXPECT_FALSE(enabled()) << "REG_EXPAND_SZ";
    reg::SetString(HKEY_CURRENT_USER, record, "FileName", "C:\\a.dll");
    EXPECT_TRUE(enabled());

    EXPECT_FALSE(IsAddinEnabled("Excel", addin::kWordProgId)) << "other host's Addins key";
    EXPECT_FALSE(IsAddinEnabled("Word", addin::kPreviousWordProgId)) << "other generation";
}

// ---------------------------------------------------------------------------
// Offering gates: only the exact text "1" hides a host or locks FrontPage.

constexpr char kOfferingKey[] = "CLSID\\{ACFD160E-CA51-4CC7-9828-4FA7EEC1FF70}\\MiscStatus";

TEST_F(HostDetectionTest, WithoutTheOfferingKeyEveryHostIsOffered)
{
    for (const OfficeHost& host : kOfficeHosts)
        EXPECT_TRUE(IsHostOffered(host.code)) << host.code;
    EXPECT_TRUE(IsFrontPageOffered());
}

TEST_F(HostDetectionTest, OnlyTheExactTextOneHidesAHost)
{
    struct Case { const char* value; bool offered; };
    const Case cases[] = {{"1", false}, {"0", true}, {"", true}, {"1 ", true},
                          {"01", true}, {" 1", true}, {"11", true}};
    for (const Case& c : cases) {
        reg::SetString(HKEY_CLASSES_ROOT, kOfferingKey, "pp", c.value);
        EXPECT_EQ(IsHostOffered("pp"), c.offered) << "\"" << c.value << "\"";
    }
    reg::SetDword(HKEY_CLASSES_ROOT, kOfferingKey, "pp", 1);
    EXPECT_TRUE(IsHostOffered("pp")) << "a number 1 is not the text \"1\"";

    reg::SetString(HKEY_CLASSES_ROOT, kOfferingKey, "pp", "1");
    EXPECT_TRUE(IsHostOffered("ww")) << "values of other hosts are not consulted";
}

TEST_F(HostDetectionTest, FrontPageIsLockedOnlyByADefaultValueOfOne)
{
    reg::SetString(HKEY_CLASSES_ROOT, kOfferingKey, "fp", "1");
    EXPECT_TRUE(IsFrontPageOffered()) << "key without default value";
    EXPECT_FALSE(IsHostOffered("fp"));

    struct Case { const char* value; bool offered; };
    for (const Case& c : {Case{"1", false}, Case{"0", true}, Case{"", true}, Case{"1 ", true}}) {
        reg::SetString(HKEY_CLASSES_ROOT, kOfferingKey, nullptr, c.value);
        EXPECT_EQ(IsFrontPageOffered(), c.offered) << "\"" << c.value << "\"";
    }
}

// ---------------------------------------------------------------------------
// Office's installer and the product's are 32-bit: what they write to HKLM and
// HKCR is read from the 32-bit view, and the same keys in the 64-bit view do
// not count. (Views exist only in the machine's real keys.)

TEST(InstallerKeysInTheirView, OfficeAndTheOfferingKeyCountOnlyInThe32BitView)
{
    const std::string installRoot = "Software\\Microsoft\\Office\\11.0\\Word\\InstallRoot";
    const std::string classesKey = "CLSID\\{ACFD160E-CA51-4CC7-9828-4FA7EEC1FF70}";
    reg::CreateKey(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\11.0\\Word\\Data");

    const auto writeInstallersKeys = [&](REGSAM view) {
        reg::SetString(HKEY_LOCAL_MACHINE, installRoot, "Path", "C:\\Office11\\", view);
        reg::SetString(HKEY_CLASSES_ROOT, kOfferingKey, "pp", "1", view);
        reg::SetString(HKEY_CLASSES_ROOT, kOfferingKey, nullptr, "1", view);
    };
    writeInstallersKeys(KEY_WOW64_64KEY);
    EXPECT_FALSE(IsHostVersionInstalled(Host(HostId::Word), V::V11));
    EXPECT_TRUE(IsHostOffered("pp"));
    EXPECT_TRUE(IsFrontPageOffered());

    writeInstallersKeys(KEY_WOW64_32KEY);
    EXPECT_TRUE(IsHostVersionInstalled(Host(HostId::Word), V::V11));
    EXPECT_FALSE(IsHostOffered("pp"));
    EXPECT_FALSE(IsFrontPageOffered());

    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        reg::DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Office\\11.0", view);
        reg::DeleteTree(HKEY_CLASSES_ROOT, classesKey, view);
    }
    reg::DeleteTree(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\11.0");
}

}  // namespace
