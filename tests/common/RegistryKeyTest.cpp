#include "RegistryKey.h"

#include "ScratchRegistry.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// ANSI (code page 1252) text with umlauts, as the deliverables store it.
constexpr char kGreeting[] = "Gr\xFC\xDF" "e";

class RegistryKeyTest : public ::testing::Test {
protected:
    ScratchRegistry scratch_;
};

TEST_F(RegistryKeyTest, OpenWithoutRootMeansCurrentUserSoftware)
{
    reg::SetString(HKEY_CURRENT_USER, "Software\\Microsoft\\Office", "Probe", "here");

    RegistryKey key;
    ASSERT_TRUE(key.Open(nullptr, "Microsoft\\Office", KEY_READ));
    EXPECT_EQ(key.Path(), "Software\\Microsoft\\Office");
    EXPECT_EQ(key.QueryString("Probe"), "here");
}

TEST_F(RegistryKeyTest, QueryStringTellsMissingFromEmpty)
{
    reg::SetString(HKEY_CURRENT_USER, "Software\\K", "Empty", "");

    RegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, "Software\\K", KEY_READ));
    EXPECT_EQ(key.QueryString("Missing", "fallback"), "fallback");
    EXPECT_EQ(key.QueryString("Missing"), "");
    EXPECT_EQ(key.QueryValueSize("Empty"), 1u);
    EXPECT_EQ(key.QueryString("Empty", "fallback"), "");
}

TEST_F(RegistryKeyTest, QueryStringReadsAnyTypeWithoutRunningPastItsData)
{
    const std::string path = "Software\\K";
    reg::SetValue(HKEY_CURRENT_USER, path, "Unterminated", REG_BINARY, "abc", 3);
    reg::SetDword(HKEY_CURRENT_USER, path, "Number", 0x00343332);  // bytes "234\0"
    reg::SetValue(HKEY_CURRENT_USER, path, "NoBytes", REG_BINARY, nullptr, 0);
    const std::string longText(100000, 'x');
    reg::SetString(HKEY_CURRENT_USER, path, "Long", longText);

    RegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, path, KEY_READ));
    EXPECT_EQ(key.QueryString("Unterminated"), "abc");
    EXPECT_EQ(key.QueryString("Number"), "234");
    EXPECT_EQ(key.QueryString("NoBytes", "fallback"), "fallback");
    EXPECT_EQ(key.QueryString("Long"), longText);
}

TEST_F(RegistryKeyTest, WritesStringsWithTheirTerminatorAndDwordsAsFourBytes)
{
    RegistryKey key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, "Software\\K"));
    EXPECT_TRUE(key.SetString("Text", kGreeting));
    EXPECT_TRUE(key.SetString("Empty", ""));
    EXPECT_TRUE(key.SetDword("Number", 3));
    key.Close();

    const auto text = reg::GetValue(HKEY_CURRENT_USER, "Software\\K", "Text");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(text->data.size(), sizeof kGreeting);
    EXPECT_EQ(text->Text(), kGreeting);

    const auto empty = reg::GetValue(HKEY_CURRENT_USER, "Software\\K", "Empty");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->data.size(), 1u);

    const auto number = reg::GetValue(HKEY_CURRENT_USER, "Software\\K", "Number");
    ASSERT_TRUE(number);
    EXPECT_EQ(number->type, static_cast<DWORD>(REG_DWORD));
    ASSERT_EQ(number->data.size(), 4u);
    EXPECT_EQ(number->data[0], 3);
}

TEST_F(RegistryKeyTest, CreateTellsNewFromExisting)
{
    RegistryKey key;
    DWORD disposition = 0;
    ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, "Software\\New", nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, &disposition));
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, "Software\\New", nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, &disposition));
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
}

TEST_F(RegistryKeyTest, FailedOpenLeavesAHelperThatAnswersNothing)
{
    RegistryKey key;
    EXPECT_FALSE(key.Open(HKEY_CURRENT_USER, "Software\\Missing", KEY_ALL_ACCESS));
    EXPECT_EQ(key.LastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(key.IsOpen());
    EXPECT_EQ(key.QueryValueSize("x"), 0u);
    EXPECT_EQ(key.QueryString("x", "fallback"), "fallback");
    EXPECT_FALSE(key.SetString("x", "y"));
    EXPECT_FALSE(key.SetDword("x", 1));
    DWORD index = 0;
    EXPECT_EQ(key.EnumSubKey(index), "");
    EXPECT_FALSE(key.Close());  // the last error is not 0
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, "Software\\Missing"));
}

TEST_F(RegistryKeyTest, EnumSubKeyListsEachNameOnceAndStopsAtTheEnd)
{
    reg::CreateKey(HKEY_CURRENT_USER, "Software\\P\\Alpha");
    reg::CreateKey(HKEY_CURRENT_USER, "Software\\P\\Beta\\Deeper");

    RegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, "Software\\P", KEY_READ));
    std::set<std::string> names;
    DWORD index = 0;
    for (std::string name = key.EnumSubKey(index); !name.empty(); name = key.EnumSubKey(index))
        names.insert(name);
    EXPECT_EQ(names, (std::set<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(index, 2u);
    EXPECT_EQ(key.LastError(), ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryKeyTest, RecursiveDeleteRemovesTheWholeTreeAndNothingBeside)
{
    const std::string root = "Software\\Tree";
    reg::SetString(HKEY_CURRENT_USER, root, "Value", "v");
    reg::CreateKey(HKEY_CURRENT_USER, root + "\\One");
    reg::SetDword(HKEY_CURRENT_USER, root + "\\Two", "n", 2);
    reg::CreateKey(HKEY_CURRENT_USER, root + "\\Three\\Nested");
    reg::CreateKey(HKEY_CURRENT_USER, "Software\\TreeSibling");

    RegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, root, KEY_ALL_ACCESS));
    EXPECT_TRUE(key.Delete(true));
    EXPECT_FALSE(key.IsOpen());
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, root));
    EXPECT_TRUE(reg::KeyExists(HKEY_CURRENT_USER, "Software\\TreeSibling"));
}

TEST_F(RegistryKeyTest, PlainDeleteOfAKeyWithSubkeysFailsAndKeepsIt)
{
    reg::CreateKey(HKEY_CURRENT_USER, "Software\\Tree\\Child");

    RegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, "Software\\Tree", KEY_ALL_ACCESS));
    EXPECT_FALSE(key.Delete(false));
    EXPECT_NE(key.LastError(), ERROR_SUCCESS);
    EXPECT_TRUE(reg::KeyExists(HKEY_CURRENT_USER, "Software\\Tree\\Child"));
}

// A helper reopened under another root deletes the key it has open, never a
// namesake under the root it used before.
TEST_F(RegistryKeyTest, DeleteActsOnTheRootOfTheLatestOpen)
{
    reg::CreateKey(HKEY_LOCAL_MACHINE, "Software\\Twin");
    reg::CreateKey(HKEY_CURRENT_USER, "Software\\Twin");

    RegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, "Software\\Twin", KEY_ALL_ACCESS));
    ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, "Software\\Twin", KEY_ALL_ACCESS));
    EXPECT_TRUE(key.Delete(true));
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, "Software\\Twin"));
    EXPECT_TRUE(reg::KeyExists(HKEY_LOCAL_MACHINE, "Software\\Twin"));
}

TEST_F(RegistryKeyTest, DeleteWithoutAKeyNameTouchesNothing)
{
    reg::CreateKey(HKEY_CURRENT_USER, "Software\\Kept");

    RegistryKey neverOpened;
    EXPECT_FALSE(neverOpened.Delete(true));

    RegistryKey closed;
    ASSERT_TRUE(closed.Open(HKEY_CURRENT_USER, "Software\\Kept", KEY_ALL_ACCESS));
    closed.Close();
    EXPECT_FALSE(closed.Delete(true));  // Close forgot the path

    RegistryKey rootItself;
    rootItself.Open(HKEY_CURRENT_USER, "", KEY_ALL_ACCESS);
    EXPECT_FALSE(rootItself.Delete(true));
    EXPECT_TRUE(reg::KeyExists(HKEY_CURRENT_USER, "Software\\Kept"));
}

TEST_F(RegistryKeyTest, MovedKeyStaysOpenOnceOnly)
{
    reg::SetString(HKEY_CURRENT_USER, "Software\\K", "v", "text");

    RegistryKey first;
    ASSERT_TRUE(first.Open(HKEY_CURRENT_USER, "Software\\K", KEY_READ));
    RegistryKey second = std::move(first);
    EXPECT_FALSE(first.IsOpen());
    EXPECT_EQ(first.Path(), "");
    EXPECT_EQ(second.QueryString("v"), "text");
    EXPECT_EQ(second.Path(), "Software\\K");
    EXPECT_TRUE(second.Close());
}

}  // namespace

// Views exist only in the machine's real keys, so this test works there.
TEST(RegistryKeyViews, DeleteActsInTheViewTheKeyWasOpenedIn)
{
    const std::string path = "Software\\QuillbarViewTest" + std::to_string(GetCurrentProcessId());
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
        reg::SetString(HKEY_LOCAL_MACHINE, path + "\\Sub", "v", "x", view);

    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        const REGSAM other = view == KEY_WOW64_32KEY ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
        const bool otherExisted = reg::KeyExists(HKEY_LOCAL_MACHINE, path, other);
        RegistryKey key;
        ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS | view));
        EXPECT_TRUE(key.Delete(true));
        EXPECT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, path, view)) << view;
        EXPECT_EQ(reg::KeyExists(HKEY_LOCAL_MACHINE, path, other), otherExisted) << view;
    }
}
