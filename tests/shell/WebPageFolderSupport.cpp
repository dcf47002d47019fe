#include "WebPageFolderSupport.h"

#include "Bstr.h"
#include "ProgramRun.h"
#include "ScratchFolder.h"
#include "TextConversion.h"

#include <gtest/gtest.h>

#include <filesystem>

const char kMessageCaption[] = "TALVO 6 Shell Extensions";
const char kProgramNotFound[] = "Das Programm wird nicht gefunden. ";

long CountOf(ITalvo6WebPageFolder* folder)
{
    long count = -1;
    EXPECT_EQ(folder->get_Count(&count), S_OK);
    return count;
}

std::string TagOf(ITalvo6WebPageFolder* folder, long item, const wchar_t* name)
{
    Bstr nameText(name ? std::wstring(name) : std::wstring());
    Bstr value;
    EXPECT_EQ(folder->get_Tag(item, name ? nameText.Get() : nullptr, value.Put()), S_OK);
    EXPECT_TRUE(value) << "a tag is never a null string";
    return ToNarrow(value.Get());
}

std::string PathOf(ITalvo6WebPageFolder* folder)
{
    Bstr value;
    EXPECT_EQ(folder->get_Path(value.Put()), S_OK);
    return ToNarrow(value.Get());
}

long FileExistsOf(ITalvo6WebPageFolder* folder, const std::string& name)
{
    return FileExistsOf(folder, ToWide(name));
}

long FileExistsOf(ITalvo6WebPageFolder* folder, const std::wstring& name)
{
    Bstr nameText(name);
    long exists = -1;
    EXPECT_EQ(folder->FileExists(nameText.Get(), &exists), S_OK);
    return exists;
}

std::string SciFile(const std::string& lines)
{
    return "[Other]\r\nPath=other.exe\r\n[.WebPageFolder]\r\n" + lines;
}

std::string WaitForFile(const std::string& path, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        const std::string content = ReadWholeFile(path);
        if (!content.empty())
            return content;
        Sleep(50);
    }
    return std::string();
}

void PlaceRecordingProgram(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    EXPECT_TRUE(CopyFileA((BinaryFolder() + "recording_program.exe").c_str(), path.c_str(), FALSE))
        << path;
}
