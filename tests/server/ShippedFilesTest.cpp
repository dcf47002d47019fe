// The files we ship as Windows sees them: the machine type of each, its
// version block, and what qbsetup.exe's manifest asks of Windows.
#include "ProgramRun.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

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
}

}  // namespace
