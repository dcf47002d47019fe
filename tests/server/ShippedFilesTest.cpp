// The files we ship as Windows sees them: the machine type of each, its
// version block, what Windows' loader needs of the system (the oldest we
// serve: Windows XP SP3, and XP x64 / Server 2003 SP2 for the 64-bit
// library), and what qbsetup.exe's manifest asks of Windows.
#include "ImageHeaders.h"
#include "ProgramRun.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The PE header's machine type.
WORD MachineOf(const std::string& path)
{
    const std::string data = ReadWholeFile(path);
    if (data.size() < 0x40)
        return 0;
    const DWORD header = *reinterpret_cast<const DWORD*>(data.data() + 0x3C);
    if (header + 6 > data.size() || data.compare(header, 4, std::string("PE\0\0", 4)) != 0)
        return 0;
    return *reinterpret_cast<const WORD*>(data.data() + header + 4);
}

class VersionBlock {
public:
    explicit VersionBlock(const std::string& path)
    {
        DWORD ignored = 0;
        data_.resize(GetFileVersionInfoSizeA(path.c_str(), &ignored));
        if (data_.empty() || !GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(data_.size()),
                                                  data_.data()))
            data_.clear();
        struct Translation { WORD language, codePage; }* translation = nullptr;
        UINT size = 0;
        if (!data_.empty() &&
            VerQueryValueA(data_.data(), "\\VarFileInfo\\Translation",
                           reinterpret_cast<void**>(&translation), &size) &&
            size >= sizeof *translation) {
            char block[32];
            wsprintfA(block, "\\StringFileInfo\\%04x%04x\\", translation->language,
                      translation->codePage);
            block_ = block;
            language_ = translation->language;
        }
    }

    std::string Text(const char* name)
    {
        char* text = nullptr;
        UINT length = 0;
        if (block_.empty() || !VerQueryValueA(data_.data(), (block_ + name).c_str(),
                                              reinterpret_cast<void**>(&text), &length))
            return "<missing>";
        return std::string(text, length ? length - 1 : 0);
    }
    std::string FileVersion()
    {
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT size = 0;
        if (data_.empty() ||
            !VerQueryValueA(data_.data(), "\\", reinterpret_cast<void**>(&fixed), &size))
            return "<missing>";
        return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
               std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
               std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
               std::to_string(LOWORD(fixed->dwFileVersionLS));
    }
    WORD Language() const { return language_; }

private:
    std::vector<char> data_;
    std::string block_;
    WORD language_ = 0;
};

TEST(ShippedFiles, EachHasItsBitnessAndItsVersionBlock)
{
    const struct {
        std::string file;
        WORD machine;
        WORD language;
        const char* description;
        const char* internalName;
        const char* originalName;
    } files[] = {
        {"qbsetup.exe", IMAGE_FILE_MACHINE_I386, 0x0407,
         "\xDC" "bersetzungsmodule f\xFC" "r Microsoft Office ein- und ausschalten", "QBSETUP",
         "QBSETUP.EXE"},
        {"qbdiag.exe", IMAGE_FILE_MACHINE_I386, 0x0407,
         "Diagnose der \xDC" "bersetzungsmodule f\xFC" "r Microsoft Office", "QBDIAG",
         "QBDIAG.EXE"},
        {"tlvshell.dll", IMAGE_FILE_MACHINE_I386, 0x0409, "Talvo Shell Extensions", "TLVSHELL",
         "TLVSHELL.DLL"},
        {"x64\\tlvshell.dll", IMAGE_FILE_MACHINE_AMD64, 0x0409, "Talvo Shell Extensions",
         "TLVSHELL", "TLVSHELL.DLL"},
    };
    for (const auto& file : files) {
        const std::string path = BinaryFolder() + file.file;
        EXPECT_EQ(MachineOf(path), file.machine) << file.file;
        VersionBlock version(path);
        EXPECT_EQ(version.FileVersion(), "6.0.0.4") << file.file;
        EXPECT_EQ(version.Language(), file.language) << file.file;
        EXPECT_EQ(version.Text("FileVersion"), "6.0.0.4") << file.file;
        EXPECT_EQ(version.Text("ProductVersion"), "6.00") << file.file;
        EXPECT_EQ(version.Text("FileDescription"), file.description) << file.file;
        EXPECT_EQ(version.Text("InternalName"), file.internalName) << file.file;
        EXPECT_EQ(version.Text("OriginalFilename"), file.originalName) << file.file;
    }
}

// The names a system library exports on Windows XP / Server 2003, from the
// lists in windows-exports beside the test programs (copied from
// tests/data/windows-exports by the build; their README says where they come
// from): <library>.nt5-x64.txt for a 64-bit image where there is one, else
// <library>.nt5.txt. Empty when there is no list for the library.
class ExportLists {
public:
    explicit ExportLists(bool wide) : wide_(wide) {}

    const std::set<std::string>* Of(std::string library)
    {
        std::transform(library.begin(), library.end(), library.begin(),
                       [](char c) { return static_cast<char>(std::tolower(c)); });
        if (library.size() > 4 && library.compare(library.size() - 4, 4, ".dll") == 0)
            library.resize(library.size() - 4);
        const auto known = lists_.find(library);
        if (known != lists_.end())
            return known->second.empty() ? nullptr : &known->second;
        std::set<std::string>& names = lists_[library];
        const std::string folder = BinaryFolder() + "windows-exports\\" + library;
        std::string text;
        if (wide_)
            text = ReadWholeFile(folder + ".nt5-x64.txt");
        if (text.empty())
            text = ReadWholeFile(folder + ".nt5.txt");
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!line.empty())
                names.insert(line);
        }
        return names.empty() ? nullptr : &names;
    }

private:
    bool wide_;
    std::map<std::string, std::set<std::string>> lists_;
};

// Every deliverable loads on the oldest Windows of its bitness: its header
// asks for no newer subsystem, and every function it imports is exported
// there by name. A missing one would stop Windows from loading the file
// before any of our code runs.
TEST(ShippedFiles, EachImportsOnlyWhatWindowsXpExports)
{
    const struct {
        const char* file;
        WORD machine;
        WORD subsystemMajor, subsystemMinor;  // at most
    } files[] = {
        {"qbsetup.exe", IMAGE_FILE_MACHINE_I386, 5, 1},
        {"qbdiag.exe", IMAGE_FILE_MACHINE_I386, 5, 1},
        {"tlvshell.dll", IMAGE_FILE_MACHINE_I386, 5, 1},
        {"x64\\tlvshell.dll", IMAGE_FILE_MACHINE_AMD64, 5, 2},
    };
    for (const auto& file : files) {
        const ImageHeaders image = ReadImageHeaders(BinaryFolder() + file.file);
        ASSERT_TRUE(image.valid) << file.file;
        EXPECT_EQ(image.machine, file.machine) << file.file;
        EXPECT_LE(image.subsystemMajor * 100 + image.subsystemMinor,
                  file.subsystemMajor * 100 + file.subsystemMinor)
            << file.file << " asks for subsystem " << image.subsystemMajor << "."
            << image.subsystemMinor;

        ExportLists exports(file.machine == IMAGE_FILE_MACHINE_AMD64);
        std::vector<std::string> missing;
        for (const ImportedFunction& import : image.imports) {
            const std::set<std::string>* names = exports.Of(import.library);
            if (!names)
                missing.push_back(import.library + " (no export list for this library)");
            else if (import.name.empty())
                missing.push_back(import.library + " ordinal " + std::to_string(import.ordinal) +
                                  " (imported by number, not checked)");
            else if (!names->count(import.name))
                missing.push_back(import.library + ": " + import.name);
        }
        EXPECT_GT(image.imports.size(), 50u) << file.file;
        std::string named;
        for (const std::string& name : missing)
            named += "\n  " + name;
        EXPECT_TRUE(missing.empty()) << file.file << " imports what Windows XP lacks:" << named;
        std::printf("%s: %u imports, %u not on Windows XP / Server 2003, subsystem %u.%02u\n",
                    file.file, static_cast<unsigned>(image.imports.size()),
                    static_cast<unsigned>(missing.size()), image.subsystemMajor,
                    image.subsystemMinor);
    }
}

TEST(ShippedFiles, QbsetupAsksForNoElevationAndNamesItsSystemsControlsAndDpi)
{
    const HMODULE program = LoadLibraryExA((BinaryFolder() + "qbsetup.exe").c_str(), nullptr,
                                           LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(program);
    const HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_TRUE(found) << "the process manifest";
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(program, found))),
                               SizeofResource(program, found));
    FreeLibrary(program);

    for (const char* required : {
             "level=\"asInvoker\"",
             "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
             "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
             ">true</dpiAware>",
             ">system</dpiAwareness>",
         })
        EXPECT_NE(manifest.find(required), std::string::npos) << required;

    // Windows XP SP2/SP3 and Server 2003 accept only a trustInfo element
    // that declares exactly one namespace.
    const size_t trustInfo = manifest.find("<trustInfo");
    ASSERT_NE(trustInfo, std::string::npos);
    const std::string tag = manifest.substr(trustInfo, manifest.find('>', trustInfo) - trustInfo);
    size_t declarations = 0;
    for (size_t at = tag.find("xmlns"); at != std::string::npos; at = tag.find("xmlns", at + 1))
        ++declarations;
    EXPECT_EQ(declarations, 1u) << tag;

    // And the system's own parser takes it as an activation context.
    const std::string path = BinaryFolder() + "qbsetup.exe";
    ACTCTXA context = {};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = path.c_str();
    context.lpResourceName = MAKEINTRESOURCEA(1);
    const HANDLE activation = CreateActCtxA(&context);
    EXPECT_NE(activation, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    if (activation != INVALID_HANDLE_VALUE)
        ReleaseActCtx(activation);
}

}  // namespace
