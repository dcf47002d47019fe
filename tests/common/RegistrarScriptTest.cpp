#include "RegistrarScript.h"

#include "ScratchRegistry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class RegistrarScriptTest : public ::testing::Test {
protected:
    static RegistrarScript Parsed(const std::string& text,
                                  const RegistrarScript::Replacements& replacements = {})
    {
        RegistrarScript script;
        EXPECT_EQ(RegistrarScript::Parse(text, replacements, script), S_OK) << text;
        return script;
    }

    static std::string Text(HKEY root, const std::string& path, const char* name = nullptr)
    {
        const auto value = reg::GetValue(root, path, name);
        return value ? value->Text() : "<missing>";
    }

    ScratchRegistry scratch_;
};

TEST_F(RegistrarScriptTest, InstallWritesKeysDefaultAndNamedValues)
{
    const RegistrarScript script = Parsed(R"(
        HKCR
        {
            My.Thing.1 = s 'My Thing'
            {
                CLSID = s '{00000000-0000-0000-0000-000000000001}'
            }
            NoRemove CLSID
            {
                ForceRemove {00000000-0000-0000-0000-000000000001} = s 'It''s 100%% mine'
                {
                    'Inproc Server' = s '%MODULE%'
                    {
                        val ThreadingModel = s 'Both'
                        val Flags = d '0x20'
                        val Count = d '17'
                    }
                    ForceRemove 'Programmable'
                }
            }
        }
        HKEY_CURRENT_USER
        {
            Software { Quillbar = s '' }
        }
    )",
                                          {{"MODULE", "C:\\O'Brien's\\x.dll"}});

    ASSERT_EQ(script.Install(), S_OK);
    const std::string clsid = "CLSID\\{00000000-0000-0000-0000-000000000001}";
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "My.Thing.1"), "My Thing");
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "My.Thing.1\\CLSID"), "{00000000-0000-0000-0000-000000000001}");
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, clsid), "It's 100% mine");
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, clsid + "\\Inproc Server"), "C:\\O'Brien's\\x.dll");
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, clsid + "\\Inproc Server", "ThreadingModel"), "Both");
    const auto flags = reg::GetValue(HKEY_CLASSES_ROOT, clsid + "\\Inproc Server", "Flags");
    ASSERT_TRUE(flags);
    EXPECT_EQ(flags->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(flags->data.data()), 0x20u);
    const auto count = reg::GetValue(HKEY_CLASSES_ROOT, clsid + "\\Inproc Server", "Count");
    ASSERT_TRUE(count);
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(count->data.data()), 17u);
    EXPECT_TRUE(reg::KeyExists(HKEY_CLASSES_ROOT, clsid + "\\Programmable"));
    EXPECT_FALSE(reg::GetValue(HKEY_CLASSES_ROOT, clsid + "\\Programmable", nullptr));
    EXPECT_EQ(Text(HKEY_CURRENT_USER, "Software\\Quillbar"), "");
}

TEST_F(RegistrarScriptTest, ForceRemoveReplacesTheWholeSubtreeWhilePlainKeysMerge)
{
    const RegistrarScript script = Parsed(R"(
        HKCR
        {
            Plain = s 'p' { Sub = s 's' }
            ForceRemove Replaced = s 'r' { Sub = s 's' }
        }
    )");
    reg::SetString(HKEY_CLASSES_ROOT, "Plain\\Stale\\Deeper", "v", "old");
    reg::SetString(HKEY_CLASSES_ROOT, "Replaced\\Stale\\Deeper", "v", "old");
    reg::SetString(HKEY_CLASSES_ROOT, "Replaced", "OldValue", "old");

    ASSERT_EQ(script.Install(), S_OK);
    ASSERT_EQ(script.Install(), S_OK);

    EXPECT_TRUE(reg::KeyExists(HKEY_CLASSES_ROOT, "Plain\\Stale\\Deeper"));
    EXPECT_FALSE(reg::KeyExists(HKEY_CLASSES_ROOT, "Replaced\\Stale"));
    EXPECT_FALSE(reg::GetValue(HKEY_CLASSES_ROOT, "Replaced", "OldValue"));
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "Replaced\\Sub"), "s");
}

TEST_F(RegistrarScriptTest, RemoveKeepsNoRemoveKeysAndDeletesOthersWithWhatOthersAdded)
{
    const RegistrarScript script = Parsed(R"(
        HKCR
        {
            NoRemove Shared
            {
                val Ours = s 'x'
                NoRemove Inner
                {
                    ForceRemove Mine = s 'm'
                }
                Plain = s 'p'
            }
        }
    )");
    ASSERT_EQ(script.Install(), S_OK);
    reg::SetString(HKEY_CLASSES_ROOT, "Shared", "Theirs", "y");
    reg::SetString(HKEY_CLASSES_ROOT, "Shared\\Inner\\Mine\\Added\\Deeper", "z", "z");
    reg::SetString(HKEY_CLASSES_ROOT, "Shared\\Plain\\Added", "z", "z");
    reg::CreateKey(HKEY_CLASSES_ROOT, "Shared\\Inner\\Neighbour");

    EXPECT_EQ(script.Remove(), S_OK);

    EXPECT_TRUE(reg::KeyExists(HKEY_CLASSES_ROOT, "Shared\\Inner\\Neighbour"));
    EXPECT_FALSE(reg::KeyExists(HKEY_CLASSES_ROOT, "Shared\\Inner\\Mine"));
    EXPECT_FALSE(reg::KeyExists(HKEY_CLASSES_ROOT, "Shared\\Plain"));
    EXPECT_FALSE(reg::GetValue(HKEY_CLASSES_ROOT, "Shared", "Ours"));
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, "Shared", "Theirs"), "y");

    // Nothing left to delete is no failure; kept keys stay even when empty.
    EXPECT_EQ(script.Remove(), S_OK);
    reg::DeleteTree(HKEY_CLASSES_ROOT, "Shared\\Inner\\Neighbour");
    EXPECT_EQ(script.Remove(), S_OK);
    EXPECT_TRUE(reg::KeyExists(HKEY_CLASSES_ROOT, "Shared\\Inner"));
}

TEST_F(RegistrarScriptTest, FailedInstallIsUndoneAndReportsTheWriteFailure)
{
    // Only volatile keys can live below a volatile key: the script's
    // non-volatile Child cannot be created there.
    HKEY volatileKey = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "Volatile", 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &volatileKey, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(volatileKey);
    reg::CreateKey(HKEY_CLASSES_ROOT, "Existing\\Foreign");

    const RegistrarScript script = Parsed(R"(
        HKCR
        {
            First = s '1' { Below = s 'b' }
            NoRemove Existing { Second = s '2' }
            NoRemove Volatile { Child = s 'c' }
            Never = s 'n'
        }
    )");
    EXPECT_EQ(script.Install(), HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE));

    EXPECT_FALSE(reg::KeyExists(HKEY_CLASSES_ROOT, "First"));
    EXPECT_FALSE(reg::KeyExists(HKEY_CLASSES_ROOT, "Existing\\Second"));
    EXPECT_TRUE(reg::KeyExists(HKEY_CLASSES_ROOT, "Existing\\Foreign"));
    EXPECT_FALSE(reg::KeyExists(HKEY_CLASSES_ROOT, "Never"));
    reg::DeleteTree(HKEY_CLASSES_ROOT, "Volatile");
}

TEST_F(RegistrarScriptTest, MalformedScriptsAreRefusedWhole)
{
    const char* const malformed[] = {
        "HKCR { Key = s 'unterminated }",
        "HKCR { Key = s 'x'",                        // no closing brace
        "HKCR { Key = s '%UNKNOWN%' }",              // no such variable
        "HKCR { Key = s '100%' }",                   // lone percent sign
        "HKCR { val Name = s 'x' }",                 // a value needs a key
        "HKCR { Key = x 'y' }",                      // unknown type
        "HKCR { Key = s }",                          // no data
        "HKCR { Key = d 'twelve' }",
        "HKCR { Key = d '-1' }",
        "HKXX { Key }",                              // unknown root
        "HKCR { Delete Key }",                       // not supported
        "HKCR { '' = s 'x' }",                       // empty key name
        "HKCR { Key { val = s 'x' } }",
        "HKCR Key }",
    };
    for (const char* text : malformed) {
        RegistrarScript script;
        EXPECT_EQ(RegistrarScript::Parse(text, {{"MODULE", "m"}}, script),
                  HRESULT_FROM_WIN32(ERROR_BAD_FORMAT))
            << text;
        EXPECT_EQ(script.Install(), S_OK) << text;  // an empty script writes nothing
        EXPECT_FALSE(reg::KeyExists(HKEY_CLASSES_ROOT, "Key")) << text;
    }
}

}  // namespace
