// The web-page folder as the product's pages use it: created by ProgID from
// JScript in a real script host (cscript), with the library registered and
// the folder settings in the prefix's registry.
#include "WebPageFolderSupport.h"

#include "MessageBoxAnswerer.h"
#include "ProgramRun.h"
#include "ScratchFolder.h"
#include "ShellLibrary.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A JScript string literal holding text.
std::string Quoted(const std::string& text)
{
    std::string literal = "'";
    for (char c : text) {
        if (c == '\\' || c == '\'')
            literal += '\\';
        literal += c;
    }
    return literal + "'";
}

class WebPageFolderScript : public ::testing::Test {
protected:
    // Runs the script with the object in `folder`; returns what it echoed.
    std::string Run(const std::string& body)
    {
        const std::string script =
            folder_.Write("test.js", "var folder = new ActiveXObject('Talvo6.WebPageFolder');\n" +
                                         body);
        const ProgramRun run = RunProgram("cscript.exe //nologo \"" + script + "\"");
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0u) << run.output;
        return run.output;
    }

    RegisteredShell shell_;
    FolderSettingsFixture settings_;
    ScratchFolder folder_;
};

TEST_F(WebPageFolderScript, PageListsEntriesReadsTagsAndTestsFiles)
{
    settings_.Set("Setup", folder_.MakeFolder("Setup"));
    settings_.Set("Root", "D:\\Produkt");
    folder_.Write("Setup\\w.sci", SciFile("Caption=W\xF6rterbuch\r\nPath=\r\nKind=dict\r\n"));
    folder_.Write("Setup\\x.sci", SciFile("Caption=\r\n"));
    const std::string file = folder_.Write("Daten\\liste.txt", "x");

    // Echo writes the console's code page: compare umlauts inside the script.
    const std::string output = Run(
        "WScript.Echo(folder.Count);\n"
        "var caption = folder.Tag(0, 'Caption');\n"
        "WScript.Echo(caption == 'W\\u00F6rterbuch' ? 'same' : caption.length);\n"
        "WScript.Echo('[' + folder.Tag(0, 'caption') + '][' + folder.Tag(0, 'Path') + ']['\n"
        "             + folder.Tag(0, '') + '][' + folder.Tag(3, 'Kind') + ']');\n"
        "var kind = folder.Tag(0, 'Kind');\n"
        "WScript.Echo(kind);\n"
        "WScript.Echo(folder.Path);\n"
        "var found = folder.FileExists(" + Quoted(file) + ");\n"
        "var isFolder = folder.FileExists(" + Quoted(folder_ / "Daten") + ");\n"
        "WScript.Echo(found + ' ' + isFolder);\n");

    EXPECT_EQ(output, "1\r\nsame\r\n[][][][]\r\ndict\r\nD:\\Produkt\\\r\n1 0\r\n");
}

TEST_F(WebPageFolderScript, PageStartsProgramsAndTheUserHearsOfMissingOnes)
{
    settings_.Set("Setup", folder_.MakeFolder("Setup"));
    const std::string root = folder_.MakeFolder("Produkt");
    settings_.Set("Root", root);
    PlaceRecordingProgram(root + "\\Bin\\Tool.exe");
    folder_.Write("Setup\\tool.sci", SciFile("Name=tool\r\nPath=Bin\\Tool.exe\r\n"));
    folder_.Write("Setup\\none.sci", SciFile("Name=none\r\n"));
    MessageBoxAnswerer user(kMessageCaption);

    Run("for (var i = 0; i < folder.Count; ++i) {\n"
        "    var name = folder.Tag(i, 'Name');\n"
        "    folder.Execute(i);\n"
        "}\n");

    const auto seen = user.WaitFor(1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, kProgramNotFound);
    const std::string started = WaitForFile(root + "\\Bin\\Tool.exe.log");
    EXPECT_NE(started.find(root + "\\Bin\\Tool.exe"), std::string::npos) << started;
}

}  // namespace
