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

// The setup folder as one full path, resolved once as the directory search
// resolves a name (a relative one against the current folder, none as the
// current folder itself), so that the profile API reads the very files the
// search finds: given a bare file name it would read one in the Windows
// folder instead. Empty when the name cannot be resolved.
std::string FullFolderPath(const std::string& folder)
{
    const char* const name = folder.empty() ? "." : folder.c_str();
    std::vector<char> full(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetFullPathNameA(name, static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0)
            return std::string();
        if (length < full.size()) {
            std::string path(full.data(), length);
            EnsureTrailingSeparator(path);
            return path;
        }
        full.resize(length);  // the size asked for, with the terminator
    }
}

}  // namespace

std::vector<WebPageEntry> ReadWebPageEntries(const std::string& setupFolder)
{
    std::vector<WebPageEntry> entries;
    const std::string folder = FullFolderPath(setupFolder);
    if (folder.empty())
        return entries;
    std::vector<char> buffer(kBufferSize);
    std::string pattern = folder;
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA(AppendPath(pattern, "*.sci").c_str(), &found));
    if (!search)
        return entries;
    do {
        std::string file = folder;
        WebPageEntry entry = ReadEntry(AppendPath(file, found.cFileName), buffer);
        if (!entry.empty())
            entries.push_back(std::move(entry));
    } while (FindNextFileA(search.Get(), &found));
    return entries;
}
