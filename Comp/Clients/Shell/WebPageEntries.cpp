#include "WebPageEntries.h"

#include "PathHelpers.h"
#include "UniqueHandle.h"

#include <windows.h>

namespace {

const char kSection[] = ".WebPageFolder";
const DWORD kBufferSize = 32768;  // for the key list and for each value

// The list of keys comes as NUL-separated names ending with an empty one;
// the length the platform reports bounds the walk.
std::vector<std::string> SplitKeyList(const std::vector<char>& buffer, DWORD length)
{
    std::vector<std::string> keys;
    const char* const end = buffer.data() + length;
    for (const char* key = buffer.data(); key < end && *key;) {
        const char* next = key;
        while (next < end && *next)
            ++next;
        keys.emplace_back(key, next);
        key = next + 1;
    }
    return keys;
}

WebPageEntry ReadEntry(const std::string& file, std::vector<char>& buffer)
{
    WebPageEntry entry;
    const DWORD listLength =
        GetPrivateProfileStringA(kSection, nullptr, "", buffer.data(), kBufferSize, file.c_str());
    for (const std::string& key : SplitKeyList(buffer, listLength)) {
        const DWORD length = GetPrivateProfileStringA(kSection, key.c_str(), "", buffer.data(),
                                                      kBufferSize, file.c_str());
        if (length > 0)
            entry[key] = std::string(buffer.data(), length);
    }
    return entry;
}

// A full path names the same folder for every reader: one from a drive's root
// (C:\Setup) or a network path (\\server\share\Setup). Any other name would be
// read from two places: the directory search takes it from the current
// folder, while the profile API reads a bare file name from the Windows folder.
bool IsFullPath(const std::string& path)
{
    const auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
    const auto isDriveLetter = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    };
    if (path.size() >= 3 && isDriveLetter(path[0]) && path[1] == ':' && isSeparator(path[2]))
        return true;
    return path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]);
}

}  // namespace

std::vector<WebPageEntry> ReadWebPageEntries(const std::string& setupFolder)
{
    std::vector<WebPageEntry> entries;
    if (!IsFullPath(setupFolder))
        return entries;
    std::vector<char> buffer(kBufferSize);
    std::string pattern = setupFolder;
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA(AppendPath(pattern, "*.sci").c_str(), &found));
    if (!search)
        return entries;
    do {
        std::string file = setupFolder;
        WebPageEntry entry = ReadEntry(AppendPath(file, found.cFileName), buffer);
        if (!entry.empty())
            entries.push_back(std::move(entry));
    } while (FindNextFileA(search.Get(), &found));
    return entries;
}
