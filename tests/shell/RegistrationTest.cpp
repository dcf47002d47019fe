// Registration through the system's own registrar, regsvr32, into the run's
// prefix, checked in the real class keys.
#include "ProgramRun.h"
#include "ScratchFolder.h"
#include "ScratchRegistry.h"
#include "ShellLibrary.h"

#include "tlvshell.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <filesystem>
#include <string>

namespace {

const std::string kFolderClass = "CLSID\\{D3E1ABFB-F269-4141-AB03-8E3BEF45AD4C}";
const std::string kMenuClass = "CLSID\\{E28C61E1-67D8-4005-9BF4-E232B2EB9012}";
const std::string kHandlers = "*\\shellex\\ContextMenuHandlers";
const std::string kTypeLibrary = "TypeLib\\{D6211B37-6983-411C-AE4B-B3E32BBCA86E}";
// Each bitness registers the type library for its own platform.
const std::string kTypeLibraryPlatform = sizeof(void*) == 8 ? "win64" : "win32";

DWORD Regsvr32(const std::string& options, const std::string& library)
{
    const ProgramRun run = RunProgram("regsvr32.exe /s " + options + " \"" + library + "\"");
    EXPECT_TRUE(run.finished) << run.output;
    return run.exitCode;
}

std::string Default(const std::string& key, const char* name = nullptr)
{
    const auto value = reg::GetValue(HKEY_CLASSES_ROOT, key, name);
    return value ? value->Text() : "<missing>";
}

bool Exists(const std::string& key)
{
    return reg::KeyExists(HKEY_CLASSES_ROOT, key);
}

// Every test leaves the prefix without the library's registration.
class Registration : public ::testing::Test {
protected:
    void TearDown() override { Regsvr32("/u", ShellLibrary::Path()); }

    static void ExpectRegisteredAt(const std::string& path)
    {
        const std::string folder = path.substr(0, path.find_last_of('\\') + 1);
        const struct {
            std::string key;
            const char* name;
            const std::string value;
        } records[] = {
            {"Talvo6.WebPageFolder.1", nullptr, "Talvo6WebPageFolder Class"},
            {"Talvo6.WebPageFolder.1\\CLSID", nullptr, "{D3E1ABFB-F269-4141-AB03-8E3BEF45AD4C}"},
            {"Talvo6.WebPageFolder", nullptr, "Talvo6WebPageFolder Class"},
            {"Talvo6.WebPageFolder\\CLSID", nullptr, "{D3E1ABFB-F269-4141-AB03-8E3BEF45AD4C}"},
            {"Talvo6.WebPageFolder\\CurVer", nullptr, "Talvo6.WebPageFolder.1"},
            {kFolderClass, nullptr, "Talvo6WebPageFolder Class"},
            {kFolderClass + "\\ProgID", nullptr, "Talvo6.WebPageFolder.1"},
            {kFolderClass + "\\VersionIndependentProgID", nullptr, "Talvo6.WebPageFolder"},
            {kFolderClass + "\\InprocServer32", nullptr, path},
            {kFolderClass + "\\InprocServer32", "ThreadingModel", "Both"},
            {kFolderClass + "\\TypeLib", nullptr, "{D6211B37-6983-411c-AE4B-B3E32BBCA86E}"},
            {"Talvo6.ShellContextMenu.1", nullptr, "Talvo6ShellContextMenu Class"},
            {"Talvo6.ShellContextMenu.1\\CLSID", nullptr, "{E28C61E1-67D8-4005-9BF4-E232B2EB9012}"},
            {"Talvo6.ShellContextMenu", nullptr, "Talvo6ShellContextMenu Class"},
            {"Talvo6.ShellContextMenu\\CLSID", nullptr, "{E28C61E1-67D8-4005-9BF4-E232B2EB9012}"},
            {"Talvo6.ShellContextMenu\\CurVer", nullptr, "Talvo6.ShellContextMenu.1"},
            {kMenuClass, nullptr, "Talvo6ShellContextMenu Class"},
            {kMenuClass + "\\ProgID", nullptr, "Talvo6.ShellContextMenu.1"},
            {kMenuClass + "\\VersionIndependentProgID", nullptr, "Talvo6.ShellContextMenu"},
            {kMenuClass + "\\InprocServer32", nullptr, path},
            {kMenuClass + "\\InprocServer32", "ThreadingModel", "Apartment"},
            {kMenuClass + "\\TypeLib", nullptr, "{D6211B37-6983-411c-AE4B-B3E32BBCA86E}"},
            {kHandlers + "\\TalvoMenu", nullptr, "{E28C61E1-67D8-4005-9BF4-E232B2EB9012}"},
            {kTypeLibrary + "\\1.0", nullptr, "TALVO 6 Shell Extensions"},
            {kTypeLibrary + "\\1.0\\0\\" + kTypeLibraryPlatform, nullptr, path},
            {kTypeLibrary + "\\1.0\\HELPDIR", nullptr, folder},
        };
        for (const auto& record : records) {
            EXPECT_EQ(Default(record.key, record.name), record.value)
                << record.key << " " << (record.name ? record.name : "(default)");
        }
        for (const std::string& key : {kFolderClass, kMenuClass}) {
            EXPECT_TRUE(Exists(key + "\\Programmable"));
            EXPECT_FALSE(reg::GetValue(HKEY_CLASSES_ROOT, key + "\\Programmable", nullptr));
        }
        // The interface is registered for marshalling by the type library.
        EXPECT_TRUE(Exists("Interface\\{3C2D0F94-F569-40A1-9078-A9D2E93A7EE6}"));
    }

    static void ExpectUnregistered()
    {
        for (const std::string& key :
             {std::string("Talvo6.WebPageFolder.1"), std::string("Talvo6.WebPageFolder"),
              std::string("Talvo6.ShellContextMenu.1"), std::string("Talvo6.ShellContextMenu"),
              kFolderClass, kMenuClass, kHandlers + "\\TalvoMenu", kTypeLibrary}) {
            EXPECT_FALSE(Exists(key)) << key;
        }
        for (const std::string& kept : {std::string("CLSID"), std::string("*"),
                                        std::string("*\\shellex"), kHandlers})
            EXPECT_TRUE(Exists(kept)) << kept;
    }
};

TEST_F(Registration, Regsvr32WritesEveryRecordAndRemovesThemAgain)
{
    ASSERT_EQ(Regsvr32("", ShellLibrary::Path()), 0u);
    ExpectRegisteredAt(ShellLibrary::Path());

    const wchar_t* const progIds[] = {L"Talvo6.WebPageFolder", L"Talvo6.WebPageFolder.1",
                                      L"Talvo6.ShellContextMenu", L"Talvo6.ShellContextMenu.1"};
    for (const wchar_t* progId : progIds) {
        CLSID clsid = {};
        EXPECT_EQ(CLSIDFromProgID(progId, &clsid), S_OK);
        EXPECT_TRUE(IsEqualCLSID(clsid, progId[7] == L'W' ? CLSID_Talvo6WebPageFolder
                                                          : CLSID_Talvo6ShellContextMenu));
    }

    ASSERT_EQ(Regsvr32("/u", ShellLibrary::Path()), 0u);
    ExpectUnregistered();
}

TEST_F(Registration, RegisteringAgainLeavesNothingStaleBelowReplacedKeys)
{
    ASSERT_EQ(Regsvr32("", ShellLibrary::Path()), 0u);
    for (const std::string& key : {kFolderClass, kMenuClass, kHandlers + "\\TalvoMenu",
                                   kFolderClass + "\\Programmable"}) {
        reg::SetString(HKEY_CLASSES_ROOT, key + "\\Stale\\Deeper", "Old", "value");
        reg::SetString(HKEY_CLASSES_ROOT, key, "Old", "value");
    }

    ASSERT_EQ(Regsvr32("", ShellLibrary::Path()), 0u);

    for (const std::string& key : {kFolderClass, kMenuClass, kHandlers + "\\TalvoMenu",
                                   kFolderClass + "\\Programmable"}) {
        EXPECT_FALSE(Exists(key + "\\Stale")) << key;
        EXPECT_FALSE(reg::GetValue(HKEY_CLASSES_ROOT, key, "Old")) << key;
    }
    ExpectRegisteredAt(ShellLibrary::Path());
}

TEST_F(Registration, UnregisteringKeepsSharedKeysAndRemovesClassKeysWithForeignSubkeys)
{
    ASSERT_EQ(Regsvr32("", ShellLibrary::Path()), 0u);
    reg::SetString(HKEY_CLASSES_ROOT, kFolderClass + "\\AddedBySomeone\\Deeper", "x", "y");
    reg::SetString(HKEY_CLASSES_ROOT, kMenuClass + "\\Implemented Categories\\{0}", nullptr, "");
    reg::SetString(HKEY_CLASSES_ROOT, kHandlers + "\\OtherProduct", nullptr, "{other}");

    ASSERT_EQ(Regsvr32("/u", ShellLibrary::Path()), 0u);

    ExpectUnregistered();
    EXPECT_EQ(Default(kHandlers + "\\OtherProduct"), "{other}");
    reg::DeleteTree(HKEY_CLASSES_ROOT, kHandlers + "\\OtherProduct");
}

// Where installations put the library: each folder is written intact into
// every record, and a script host then creates the object from there.
TEST_F(Registration, LibraryInFoldersWithBlanksQuotesUmlautsOrLongNamesServesFromThere)
{
    const ScratchFolder scratch;
    // As the product's German installation names it, in code page 1252.
    const std::string german = "C:\\Programme\\TALVO \xDC" "bersetzer";
    const std::string longName = scratch.Path() + "\\" + std::string(120, 'l') + "\\" +
                                 std::string(60, 'n') + " Ordner";
    const std::string folders[] = {scratch.Path() + "\\Mit Leer zeichen", german,
                                   scratch.Path() + "\\O'Brien's Tools", longName};
    const FolderSettingsFixture settings;
    settings.Set("Setup", scratch.MakeFolder("Setup"));
    settings.Set("Root", "D:\\Produkt");
    scratch.Write("Setup\\a.sci", "[.WebPageFolder]\r\nCaption=a\r\n");
    const std::string script =
        scratch.Write("count.js", "var folder = new ActiveXObject('Talvo6.WebPageFolder');\n"
                                  "WScript.Echo(folder.Count + ' ' + folder.Path);\n");
    for (const std::string& folder : folders) {
        SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
        const std::string copy = folder + "\\tlvshell.dll";
        ASSERT_TRUE(CopyFileA(ShellLibrary::Path().c_str(), copy.c_str(), FALSE)) << copy;

        ASSERT_EQ(Regsvr32("", copy), 0u) << copy;
        ExpectRegisteredAt(copy);
        const ProgramRun run = RunProgram("cscript.exe //nologo \"" + script + "\"");
        EXPECT_EQ(run.output, "1 D:\\Produkt\\\r\n") << copy;
        ASSERT_EQ(Regsvr32("/u", copy), 0u) << copy;
        ExpectUnregistered();
    }
    DeleteFileA((german + "\\tlvshell.dll").c_str());
    RemoveDirectoryA(german.c_str());
}

TEST_F(Registration, ScriptFailingPartWayIsUndoneAndStopsRegistration)
{
    // Only volatile keys may live below a volatile one: the context menu's
    // script cannot write its ProgID's CLSID subkey.
    HKEY blocker = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "Talvo6.ShellContextMenu.1", 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &blocker, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(blocker);

    const ShellLibrary library;
    EXPECT_EQ(library.Register(), HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE));

    // The failed script removed what it lists; the earlier one stays; the
    // type library was not registered.
    EXPECT_FALSE(Exists("Talvo6.ShellContextMenu.1"));
    EXPECT_FALSE(Exists(kMenuClass));
    EXPECT_FALSE(Exists(kHandlers + "\\TalvoMenu"));
    EXPECT_EQ(Default(kFolderClass + "\\InprocServer32"), ShellLibrary::Path());
    EXPECT_FALSE(Exists(kTypeLibrary));
}

}  // namespace
