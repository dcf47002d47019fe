#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>

ScratchFolder::ScratchFolder()
{
    static std::atomic<int> counter{0};
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    path_ = std::string(temp) + "quillbar-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    std::error_code error;
    std::filesystem::create_directories(path_, error);
    EXPECT_FALSE(error) << "cannot create " << path_;
}

ScratchFolder::~ScratchFolder()
{
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

std::string ScratchFolder::Write(const std::string& relative, const std::string& content) const
{
    const std::string path = *this / relative;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    std::ofstream file(path, std::ios::binary);
    file << content;
    EXPECT_TRUE(file.good()) << "cannot write " << path;
    return path;
}

std::wstring ScratchFolder::Write(const std::wstring& relative, const std::string& content) const
{
    const std::filesystem::path path = std::filesystem::path(path_) / relative;
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    std::ofstream file(path, std::ios::binary);
    file << content;
    EXPECT_TRUE(file.good()) << "cannot write " << path.u8string();
    return path.wstring();
}

std::string ScratchFolder::MakeFolder(const std::string& relative) const
{
    const std::string path = *this / relative;
    std::error_code error;
    std::filesystem::create_directories(path, error);
    EXPECT_FALSE(error) << "cannot create " << path;
    return path;
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}
