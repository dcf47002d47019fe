#include "ReadLoops.h"

#include "UniqueHandle.h"

#include <cstring>
#include <vector>

namespace {

const char kSection[] = ".WebPageFolder";

// Calls read(path) for each "*.sci" file of the folder, the path built in one
// reused buffer.
template <typename Read>
void ForEachSciFile(const std::string& folder, Read&& read)
{
    char path[MAX_PATH * 2];
    if (folder.size() + MAX_PATH >= sizeof path)
        return;
    std::memcpy(path, folder.data(), folder.size());
    char* const name = path + folder.size();
    std::strcpy(name, "*.sci");
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA(path, &found));
    if (!search)
        return;
    do {
        std::strcpy(name, found.cFileName);
        read(path);
    } while (FindNextFileA(search.Get(), &found));
}

}  // namespace

long ProfileReadLoop(const std::string& folder, DWORD bufferSize, long* calls)
{
    std::vector<char> keys(bufferSize);
    std::vector<char> value(bufferSize);
    long values = 0;
    long reads = 0;
    ForEachSciFile(folder, [&](const char* path) {
        const DWORD length =
            GetPrivateProfileStringA(kSection, nullptr, "", keys.data(), bufferSize, path);
        ++reads;
        const char* const end = keys.data() + length;
        for (const char* key = keys.data(); key < end && *key; key += std::strlen(key) + 1) {
            ++reads;
            if (GetPrivateProfileStringA(kSection, key, "", value.data(), bufferSize, path) > 0)
                ++values;
        }
    });
    if (calls)
        *calls = reads;
    return values;
}

long PlainReadLoop(const std::string& folder)
{
    std::vector<char> buffer(32768);
    long bytes = 0;
    ForEachSciFile(folder, [&](const char* path) {
        KernelHandle file(CreateFileA(path, GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD read = 0;
        if (file && ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read,
                             nullptr))
            bytes += static_cast<long>(read);
    });
    return bytes;
}
