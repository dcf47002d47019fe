// tlvshell.dll in both bitnesses side by side, as a 64-bit Windows holds it:
// each library registered by the regsvr32 of its own bitness into its own
// registry view, and the script hosts of each bitness served by their own
// library over the folders the product's 32-bit installer wrote. (The 32-bit
// tests drive both: a 32-bit process reaches the 64-bit tools through
// "sysnative".)
#include "ProgramRun.h"
#include "ScratchFolder.h"
#include "ScratchRegistry.h"
#include "ShellLibrary.h"
#include "WebPageFolderSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kFolderClass = "CLSID\\{D3E1ABFB-F269-4141-AB03-8E3BEF45AD4C}";
const std::string kMenuClass = "CLSID\\{E28C61E1-67D8-4005-9BF4-E232B2EB9012}";
const std::string kTypeLibrary = "TypeLib\\{D6211B37-6983-411C-AE4B-B3E32BBCA86E}\\1.0";
const std::string kFolderInterface = "Interface\\{3C2D0F94-F569-40A1-9078-A9D2E93A7EE6}";
const std::string kHandler = "*\\shellex\\ContextMenuHandlers\\TalvoMenu";
const std::string kProgIds[] = {"Talvo6.WebPageFolder", "Talvo6.WebPageFolder.1",
                                "Talvo6.ShellContextMenu", "Talvo6.ShellContextMenu.1"};

struct Bitness {
    const char* name;
    REGSAM view;
    std::string tools;    // where this bitness's regsvr32 and cscript live
    std::string library;  // tlvshell.dll of this bitness
};

class BothLibraries : public ::testing::Test {
protected:
    BothLibraries()
        : bitnesses_{{"32-bit", KEY_WOW64_32KEY, "C:\\windows\\syswow64\\",
                      MainBuildFolder() + "tlvshell.dll"},
                     {"64-bit", KEY_WOW64_64KEY, "C:\\windows\\sysnative\\",
                      MainBuildFolder() + "x64\\tlvshell.dll"}}
    {
    }
    ~BothLibraries() override
    {
        for (const Bitness& bitness : bitnesses_)
            Regsvr32(bitness, "/u");
    }

    static DWORD Regsvr32(const Bitness& bitness, const std::string& options)
    {
        const ProgramRun run = RunProgram(bitness.tools + "regsvr32.exe /s " + options + " \"" +
                                          bitness.library + "\"");
        EXPECT_TRUE(run.finished) << run.output;
        return run.exitCode;
    }

    static std::string Default(const std::string& key, REGSAM view)
    {
        const auto value = reg::GetValue(HKEY_CLASSES_ROOT, key, nullptr, view);
        return value ? value->Text() : "<missing>";
    }

    Bitness bitnesses_[2];
    ScratchFolder folder_;
};

// The ProgIDs and the context-menu handler key are shared by both views: while
// one library stays registered, unregistering the other leaves them, and its
// script hosts still create the folder by ProgID.
TEST_F(BothLibraries, EachViewNamesItsOwnFileAndUnregisteringOneLeavesTheOtherWorking)
{
    const FolderSettingsFixture settings;
    settings.Set("Setup", folder_.MakeFolder("Setup"));
    folder_.Write("Setup\\a.sci", SciFile("Name=a\r\n"));
    const std::string script =
        folder_.Write("count.js", "var folder = new ActiveXObject('Talvo6.WebPageFolder');\n"
                                  "WScript.Echo(folder.Count);\n");

    for (size_t first : {0u, 1u}) {
        const Bitness& gone = bitnesses_[first];
        const Bitness& kept = bitnesses_[1 - first];
        for (const Bitness& bitness : bitnesses_)
            ASSERT_EQ(Regsvr32(bitness, ""), 0u) << bitness.name;

        for (const Bitness& bitness : bitnesses_) {
            for (const std::string& clsid : {kFolderClass, kMenuClass})
                EXPECT_EQ(Default(clsid + "\\InprocServer32", bitness.view), bitness.library)
                    << bitness.name << " " << clsid;
            EXPECT_TRUE(reg::KeyExists(HKEY_CLASSES_ROOT, kFolderInterface, bitness.view))
                << bitness.name;
        }
        // Shared by both views: one type library with a file for each platform.
        EXPECT_EQ(Default(kTypeLibrary + "\\0\\win32", 0), bitnesses_[0].library);
        EXPECT_EQ(Default(kTypeLibrary + "\\0\\win64", 0), bitnesses_[1].library);

        EXPECT_EQ(Regsvr32(gone, "/u"), 0u) << gone.name;

        EXPECT_FALSE(reg::KeyExists(HKEY_CLASSES_ROOT, kFolderClass, gone.view)) << gone.name;
        EXPECT_FALSE(reg::KeyExists(HKEY_CLASSES_ROOT, kMenuClass, gone.view)) << gone.name;
        EXPECT_EQ(Default(kMenuClass + "\\InprocServer32", kept.view), kept.library);
        for (const std::string& progId : kProgIds)
            EXPECT_TRUE(reg::KeyExists(HKEY_CLASSES_ROOT, progId + "\\CLSID", kept.view))
                << kept.name << " " << progId;
        EXPECT_EQ(Default(kHandler, kept.view), "{E28C61E1-67D8-4005-9BF4-E232B2EB9012}")
            << kept.name;
        const ProgramRun run = RunProgram(kept.tools + "cscript.exe //nologo \"" + script + "\"");
        EXPECT_EQ(run.output, "1\r\n") << kept.name << " after " << gone.name << " went";

        EXPECT_EQ(Regsvr32(kept, "/u"), 0u) << kept.name;

        for (const Bitness& bitness : bitnesses_) {
            for (const std::string& key : kProgIds)
                EXPECT_FALSE(reg::KeyExists(HKEY_CLASSES_ROOT, key, bitness.view))
                    << bitness.name << " " << key;
            for (const std::string& key :
                 {kFolderClass, kMenuClass, kFolderInterface, kHandler,
                  std::string("TypeLib\\{D6211B37-6983-411C-AE4B-B3E32BBCA86E}")})
                EXPECT_FALSE(reg::KeyExists(HKEY_CLASSES_ROOT, key, bitness.view))
                    << bitness.name << " " << key;
        }
    }
}

// A registration that fails part-way is undone as unregistering undoes it:
// while the other library registers the classes, the ProgIDs both views share
// stay, and only the failing library's own class keys go.
TEST_F(BothLibraries, ARegistrationFailingPartWayLeavesWhatTheOtherLibraryShares)
{
    const std::string handlers = "*\\shellex\\ContextMenuHandlers";
    const auto createVolatile = [](const std::string& key) {
        HKEY created = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &created, nullptr),
                  ERROR_SUCCESS)
            << key;
        RegCloseKey(created);
    };
    for (size_t failing : {0u, 1u}) {
        const Bitness& broken = bitnesses_[failing];
        const Bitness& other = bitnesses_[1 - failing];
        ASSERT_EQ(Regsvr32(other, ""), 0u) << other.name;
        // Only volatile keys may live below a volatile one: the context
        // menu's script writes its ProgIDs and its class key, then fails at
        // its handler key (which it has deleted first, as it replaces it).
        reg::DeleteTree(HKEY_CLASSES_ROOT, handlers);
        createVolatile(handlers);
        createVolatile(kHandler);

        EXPECT_NE(Regsvr32(broken, ""), 0u) << broken.name;

        reg::DeleteTree(HKEY_CLASSES_ROOT, handlers);
        reg::CreateKey(HKEY_CLASSES_ROOT, handlers);
        for (const std::string& progId : kProgIds)
            EXPECT_TRUE(reg::KeyExists(HKEY_CLASSES_ROOT, progId + "\\CLSID"))
                << progId << " after " << broken.name << " failed";
        EXPECT_FALSE(reg::KeyExists(HKEY_CLASSES_ROOT, kMenuClass, broken.view)) << broken.name;
        EXPECT_EQ(Default(kMenuClass + "\\InprocServer32", other.view), other.library);
        // The web-page folder's script ran before and stays.
        EXPECT_EQ(Default(kFolderClass + "\\InprocServer32", broken.view), broken.library);
        for (const Bitness& bitness : bitnesses_)
            Regsvr32(bitness, "/u");
    }
}

TEST_F(BothLibraries, ScriptHostsOfEitherBitnessReadTheFoldersThe32BitInstallerWrote)
{
    for (const Bitness& bitness : bitnesses_)
        ASSERT_EQ(Regsvr32(bitness, ""), 0u) << bitness.name;
    const FolderSettingsFixture settings;  // the 32-bit view, as the installer writes
    settings.Set("Setup", folder_.MakeFolder("Setup"));
    settings.Set("Root", "D:\\Produkt");
    folder_.Write("Setup\\a.sci", SciFile("Name=a\r\n"));
    folder_.Write("Setup\\b.sci", SciFile("Name=b\r\n"));
    const std::string script =
        folder_.Write("count.js",
                      "var folder = new ActiveXObject('Talvo6.WebPageFolder');\n"
                      "WScript.Echo(folder.Count + ' ' + folder.Path);\n");

    for (const Bitness& bitness : bitnesses_) {
        const ProgramRun run =
            RunProgram(bitness.tools + "cscript.exe //nologo \"" + script + "\"");
        EXPECT_TRUE(run.finished) << bitness.name;
        EXPECT_EQ(run.output, "2 D:\\Produkt\\\r\n") << bitness.name;
    }
}

}  // namespace
