// The web-page-folder object through its C++ interfaces, on this process's
// own folder settings (HKEY_LOCAL_MACHINE redirected to a scratch key).
#include "WebPageFolderSupport.h"

#include "MessageBoxAnswerer.h"
#include "ProgramRun.h"
#include "ScratchFolder.h"
#include "ScratchRegistry.h"
#include "ShellLibrary.h"
#include "TestThread.h"
#include "TextConversion.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <objsafe.h>

#include <fstream>
#include <set>
#include <string>

namespace {

const char kFolders[] = "Software\\Talvoworks\\TLVO6\\Folders";

// Makes a folder the process's current one for as long as it lives.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder)
    {
        char previous[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, previous);
        previous_ = previous;
        EXPECT_TRUE(SetCurrentDirectoryA(folder.c_str())) << folder;
    }
    ~CurrentFolder() { SetCurrentDirectoryA(previous_.c_str()); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    std::string previous_;
};

// A file in the Windows folder, where the profile API looks for a bare file
// name, for as long as it lives.
class FileInWindowsFolder {
public:
    FileInWindowsFolder(const std::string& name, const std::string& content)
    {
        char windows[MAX_PATH] = {};
        GetWindowsDirectoryA(windows, MAX_PATH);
        path_ = std::string(windows) + "\\" + name;
        std::ofstream(path_, std::ios::binary) << content;
        EXPECT_EQ(ReadWholeFile(path_), content) << path_;
    }
    ~FileInWindowsFolder() { DeleteFileA(path_.c_str()); }
    FileInWindowsFolder(const FileInWindowsFolder&) = delete;
    FileInWindowsFolder& operator=(const FileInWindowsFolder&) = delete;

private:
    std::string path_;
};

// Documents with the extension ".qbtest", which the shell opens with the
// given program and for which the user's machine has a shell extension (the
// stand-in, which notes where the shell loads it), for as long as it lives.
class DocumentClassWithShellExtension {
public:
    DocumentClassWithShellExtension(const std::string& opener, const std::string& extension)
    {
        reg::SetString(HKEY_CLASSES_ROOT, ".qbtest", nullptr, kClass);
        reg::SetString(HKEY_CLASSES_ROOT, kClass + "\\shell\\open\\command", nullptr,
                       "\"" + opener + "\" \"%1\"");
        reg::CreateKey(HKEY_CLASSES_ROOT, kClass + "\\shellex\\ContextMenuHandlers\\" + kExtension);
        const std::string server = "CLSID\\" + kExtension + "\\InprocServer32";
        reg::SetString(HKEY_CLASSES_ROOT, server, nullptr, extension);
        reg::SetString(HKEY_CLASSES_ROOT, server, "ThreadingModel", "Apartment");
    }
    ~DocumentClassWithShellExtension()
    {
        for (const std::string& key : {std::string(".qbtest"), kClass, "CLSID\\" + kExtension})
            reg::DeleteTree(HKEY_CLASSES_ROOT, key);
    }
    DocumentClassWithShellExtension(const DocumentClassWithShellExtension&) = delete;
    DocumentClassWithShellExtension& operator=(const DocumentClassWithShellExtension&) = delete;

private:
    const std::string kClass = "QuillbarTest.Document";
    const std::string kExtension = "{9B1E4C02-6D3A-4F85-A2C7-5E0D8B3F1A64}";
};

class WebPageFolderTest : public ::testing::Test {
protected:
    ComPtr<ITalvo6WebPageFolder> NewFolder()
    {
        auto folder = library_.Create<ITalvo6WebPageFolder>(CLSID_Talvo6WebPageFolder,
                                                            IID_ITalvo6WebPageFolder);
        EXPECT_TRUE(folder);
        return folder;
    }

    static void SetFolder(const char* name, const std::string& value)
    {
        reg::SetString(HKEY_LOCAL_MACHINE, kFolders, name, value);
    }

    // Setup points at the folder "Setup" of the scratch folder (no trailing
    // backslash, as installations write it); returns that folder.
    std::string UseSetupFolder()
    {
        const std::string setup = folder_.MakeFolder("Setup");
        SetFolder("Setup", setup);
        return setup;
    }

    ScratchRegistry scratch_{ScratchRegistry::kLocalMachine};
    ShellLibrary library_;
    ScratchFolder folder_;
};

TEST_F(WebPageFolderTest, EverySciFileWithTagsOfTheSetupFolderIsAnEntry)
{
    UseSetupFolder();
    folder_.Write("Setup\\a.sci", SciFile("Caption=Alpha\r\n"));
    folder_.Write("Setup\\b.sci", SciFile("Caption=Beta\r\nPath=beta.exe\r\n"));
    folder_.Write("Setup\\c.txt", SciFile("Caption=NotSci\r\n"));
    folder_.Write("Setup\\d.sci", "[Other]\r\nCaption=NoSection\r\n");
    folder_.Write("Setup\\e.sci", SciFile("Caption=\r\nPath=\r\n"));  // only empty values
    folder_.Write("Setup\\f.sci", SciFile(""));
    folder_.MakeFolder("Setup\\g.sci");

    auto folder = NewFolder();
    ASSERT_EQ(CountOf(folder.Get()), 2);
    const std::set<std::string> captions = {TagOf(folder.Get(), 0, L"Caption"),
                                            TagOf(folder.Get(), 1, L"Caption")};
    EXPECT_EQ(captions, (std::set<std::string>{"Alpha", "Beta"}));
}

TEST_F(WebPageFolderTest, TagsKeepTheFilesCaseAndOnlyNonEmptyValues)
{
    UseSetupFolder();
    folder_.Write("Setup\\w.sci", SciFile("Caption=W\xF6rterbuch\r\nPath=\r\nLater=x\r\n"
                                          "Spaced = with blanks \r\n"));
    auto folder = NewFolder();
    ASSERT_EQ(CountOf(folder.Get()), 1);

    EXPECT_EQ(TagOf(folder.Get(), 0, L"Caption"), "W\xF6rterbuch");
    EXPECT_EQ(TagOf(folder.Get(), 0, L"caption"), "");
    EXPECT_EQ(TagOf(folder.Get(), 0, L"Path"), "");
    EXPECT_EQ(TagOf(folder.Get(), 0, L"Later"), "x");
    EXPECT_EQ(TagOf(folder.Get(), 0, L"Spaced"), "with blanks");
    EXPECT_EQ(TagOf(folder.Get(), 0, L""), "");
    EXPECT_EQ(TagOf(folder.Get(), 0, nullptr), "");
    EXPECT_EQ(TagOf(folder.Get(), 1, L"Caption"), "");
    EXPECT_EQ(TagOf(folder.Get(), -1, L"Caption"), "");
}

TEST_F(WebPageFolderTest, OnlyCountRereadsTheFiles)
{
    UseSetupFolder();
    const std::string file = folder_.Write("Setup\\x.sci", SciFile("Caption=Alt\r\n"));
    auto folder = NewFolder();  // reads the files once

    folder_.Write("Setup\\x.sci", SciFile("Caption=Neu\r\n"));
    EXPECT_EQ(TagOf(folder.Get(), 0, L"Caption"), "Alt");
    EXPECT_EQ(CountOf(folder.Get()), 1);
    EXPECT_EQ(TagOf(folder.Get(), 0, L"Caption"), "Neu");

    DeleteFileA(file.c_str());
    EXPECT_EQ(TagOf(folder.Get(), 0, L"Caption"), "Neu");
    EXPECT_EQ(CountOf(folder.Get()), 0);
    EXPECT_EQ(TagOf(folder.Get(), 0, L"Caption"), "");
}

TEST_F(WebPageFolderTest, PathIsTheRootFolderWithATrailingSeparator)
{
    EXPECT_EQ(PathOf(NewFolder().Get()), "");  // no settings at all

    SetFolder("Root", "D:\\Produkt");
    auto folder = NewFolder();
    EXPECT_EQ(PathOf(folder.Get()), "D:\\Produkt\\");

    SetFolder("Root", "E:\\Anders/");
    EXPECT_EQ(PathOf(folder.Get()), "D:\\Produkt\\") << "read again only by Count";
    CountOf(folder.Get());
    EXPECT_EQ(PathOf(folder.Get()), "E:\\Anders/");
}

// A missing or relative setup folder is found from the current folder, as
// the directory search finds it, and the files found there are the files
// read: never the file of the same name in the Windows folder, where the
// profile API looks for a bare file name.
TEST_F(WebPageFolderTest, MissingOrRelativeSetupFolderIsReadWhereTheSearchFindsIt)
{
    const CurrentFolder current(folder_.Path());
    folder_.Write("Setup\\a.sci", SciFile("Caption=relative\r\n"));
    const std::string sameName = "tlvshell-test-" + std::to_string(GetCurrentProcessId()) + ".sci";
    folder_.Write(sameName, SciFile("Caption=current folder\r\n"));
    const FileInWindowsFolder elsewhere(sameName, SciFile("Caption=Windows folder\r\n"));

    auto unset = NewFolder();
    EXPECT_EQ(CountOf(unset.Get()), 1) << "no Setup value";
    EXPECT_EQ(TagOf(unset.Get(), 0, L"Caption"), "current folder") << "no Setup value";
    const struct {
        std::string setup;
        long count;
        const char* caption;
    } settings[] = {
        {"", 1, "current folder"},
        {"Setup", 1, "relative"},
        {".\\Setup\\", 1, "relative"},
        {folder_ / "fehlt", 0, ""},
    };
    for (const auto& setting : settings) {
        SetFolder("Setup", setting.setup);
        auto folder = NewFolder();
        EXPECT_EQ(CountOf(folder.Get()), setting.count) << "Setup = " << setting.setup;
        EXPECT_EQ(TagOf(folder.Get(), 0, L"Caption"), setting.caption)
            << "Setup = " << setting.setup;
    }
}

TEST_F(WebPageFolderTest, FileExistsTellsFilesFromFolders)
{
    const std::string file = folder_.Write("Daten\\liste.txt", "x");
    const std::string umlaut = folder_.Write("Daten\\W\xF6rter.txt", "x");
    auto folder = NewFolder();
    EXPECT_EQ(FileExistsOf(folder.Get(), file), 1);
    EXPECT_EQ(FileExistsOf(folder.Get(), umlaut), 1);
    EXPECT_EQ(FileExistsOf(folder.Get(), folder_ / "Daten\\*.txt"), 1);
    EXPECT_EQ(FileExistsOf(folder.Get(), folder_ / "Daten\\list?.txt"), 1);
    EXPECT_EQ(FileExistsOf(folder.Get(), folder_ / "Daten"), 0);
    EXPECT_EQ(FileExistsOf(folder.Get(), folder_ / "Daten\\fehlt.txt"), 0);
    EXPECT_EQ(FileExistsOf(folder.Get(), ""), 0);
    long exists = -1;
    EXPECT_EQ(folder->FileExists(nullptr, &exists), S_OK);
    EXPECT_EQ(exists, 0);

    // A name the ANSI code page cannot hold names no file: neither its default
    // character '?' (a wildcard) nor a look-alike may find another one.
    const std::wstring daten = ToWide(folder_ / "Daten\\");
    for (const std::wstring& name :
         {daten + L"list\u4E2D.txt", daten + L"\u013Eiste.txt", daten + L"liste.txt\u0301",
          daten + std::wstring(L"liste.txt\0.doc", 14)})
        EXPECT_EQ(FileExistsOf(folder.Get(), name), 0) << ToNarrow(name.c_str());
}

TEST_F(WebPageFolderTest, DeclaresItselfSafeForUntrustedCallersOnRequest)
{
    auto folder = NewFolder();
    ComPtr<IObjectSafety> safety;
    ASSERT_EQ(folder.As(IID_IObjectSafety, safety), S_OK);
    DWORD supported = 99, enabled = 99;

    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), S_OK);
    EXPECT_EQ(supported, 1u);
    EXPECT_EQ(enabled, 0u);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, 1, 1), S_OK);
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_ITalvo6WebPageFolder, &supported, &enabled),
              S_OK);
    EXPECT_EQ(enabled, 1u);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, 1, 0), S_OK);
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), S_OK);
    EXPECT_EQ(enabled, 0u);

    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, 2, 2), E_FAIL);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IPersist, 1, 1), E_NOINTERFACE);
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IPersist, &supported, &enabled),
              E_NOINTERFACE);
    EXPECT_EQ(supported, 0u);
    EXPECT_EQ(enabled, 0u);
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, nullptr, &enabled), E_POINTER);
}

TEST_F(WebPageFolderTest, ExecuteWithoutAProgramTellsTheUser)
{
    UseSetupFolder();
    folder_.Write("Setup\\a.sci", SciFile("Caption=Ohne Programm\r\nPath=\r\n"));
    auto folder = NewFolder();
    MessageBoxAnswerer user(kMessageCaption);

    for (long index : {0L, 1L, -1L})
        EXPECT_EQ(folder->Execute(index), S_OK);

    const auto seen = user.WaitFor(3);
    ASSERT_EQ(seen.size(), 3u);
    for (const SeenMessageBox& box : seen) {
        EXPECT_EQ(box.text, kProgramNotFound);
        EXPECT_EQ(box.icon, LoadIcon(nullptr, IDI_HAND)) << "the stop icon";
    }
}

TEST_F(WebPageFolderTest, ExecuteStartsTheEntrysProgramBelowTheRootFolder)
{
    UseSetupFolder();
    const std::string root = folder_.MakeFolder("Produkt");
    SetFolder("Root", root);
    PlaceRecordingProgram(root + "\\Bin\\Tool.exe");
    folder_.Write("Setup\\tool.sci", SciFile("Path=Bin\\Tool.exe\r\n"));
    auto folder = NewFolder();
    MessageBoxAnswerer user(kMessageCaption);

    EXPECT_EQ(folder->Execute(0), S_OK);

    const std::string started = WaitForFile(root + "\\Bin\\Tool.exe.log");
    EXPECT_NE(started.find(root + "\\Bin\\Tool.exe"), std::string::npos) << started;
    EXPECT_TRUE(user.Seen().empty());
}

// The shell must be asked from a single-threaded apartment: the extensions
// it loads for a file are made for one. A script's call may come on the
// multithreaded apartment (the class is "Both"); the shell is still asked
// from a thread of the other kind.
TEST_F(WebPageFolderTest, ExecuteAsksTheShellFromASingleThreadedApartmentWhereverItIsCalled)
{
    UseSetupFolder();
    const std::string root = folder_.MakeFolder("Produkt");
    SetFolder("Root", root);
    const std::string document = folder_.Write("Produkt\\Brief.qbtest", "x");
    folder_.Write("Setup\\brief.sci", SciFile("Path=Brief.qbtest\r\n"));
    const std::string opener = root + "\\Opener.exe";
    PlaceRecordingProgram(opener);
    const std::string extension = folder_ / "extension.dll";
    ASSERT_TRUE(CopyFileA((BinaryFolder() + "shell_extension_standin.dll").c_str(),
                          extension.c_str(), FALSE));
    const DocumentClassWithShellExtension documents(opener, extension);
    auto folder = NewFolder();
    MessageBoxAnswerer user(kMessageCaption);

    const struct {
        DWORD model;
        const char* name;
    } callers[] = {{COINIT_APARTMENTTHREADED, "single-threaded"},
                   {COINIT_MULTITHREADED, "multithreaded"}};
    std::string expected;
    for (const auto& caller : callers) {
        HRESULT executed = E_UNEXPECTED;
        StartThread([&] {
            const HRESULT initialised = CoInitializeEx(nullptr, caller.model);
            executed = folder->Execute(0);
            if (SUCCEEDED(initialised))
                CoUninitialize();
        }).Join();
        EXPECT_EQ(executed, S_OK) << caller.name;
        // The shell loads the extension while it is asked, before it answers.
        expected += "single-threaded\r\n";
        EXPECT_EQ(ReadWholeFile(extension + ".log"), expected) << "called on " << caller.name;
    }
    const std::string started = WaitForFile(opener + ".log", kPatienceMs);
    EXPECT_NE(started.find(document), std::string::npos) << started;
    EXPECT_TRUE(user.Seen().empty());
}

TEST_F(WebPageFolderTest, ExecuteReportsAProgramThatCannotStartWithTheShellsError)
{
    UseSetupFolder();
    const std::string root = folder_.MakeFolder("Produkt");
    folder_.Write("Setup\\a.sci", SciFile("Path=C:\\Absolut\\fehlt.exe\r\n"));
    auto folder = NewFolder();
    MessageBoxAnswerer user(kMessageCaption);

    // An absolute path is still taken as relative to the root folder; without
    // a root folder it goes to the shell unchanged.
    EXPECT_EQ(folder->Execute(0), S_OK);
    SetFolder("Root", root);
    CountOf(folder.Get());
    EXPECT_EQ(folder->Execute(0), S_OK);

    const auto seen = user.WaitFor(2);
    ASSERT_EQ(seen.size(), 2u);
    const std::string paths[] = {"C:\\Absolut\\fehlt.exe", root + "\\C:\\Absolut\\fehlt.exe"};
    for (size_t i = 0; i < 2; ++i) {
        int error = 0;
        char rest[1024] = {};
        ASSERT_EQ(sscanf(seen[i].text.c_str(), "Fehler %d beim Starten des Programms :\n%1023[^\x01]",
                         &error, rest),
                  2)
            << seen[i].text;
        EXPECT_EQ(error, SE_ERR_FNF) << "the shell's own error for a program it cannot find";
        EXPECT_EQ(rest, paths[i]);
        EXPECT_EQ(seen[i].icon, LoadIcon(nullptr, IDI_HAND));
    }
}

}  // namespace
