#include "SciFolder.h"

#include "UniqueHandle.h"

#include <windows.h>

#include <cstdio>

namespace {

std::string FileName(int index)
{
    char name[32];
    std::snprintf(name, sizeof name, "eintrag%05d.sci", index);
    return name;
}

std::string FileText(int index)
{
    const std::vector<std::string> tags = SciFolder::Tags(index);
    std::string text = "[.WebPageFolder]\r\n";
    for (size_t i = 0; i + 1 < tags.size(); i += 2)
        text += tags[i] + "=" + tags[i + 1] + "\r\n";
    return text;
}

bool WriteFileText(const std::string& path, const std::string& text)
{
    KernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written,
                             nullptr) &&
           written == text.size();
}

}  // namespace

std::vector<std::string> SciFolder::Tags(int index)
{
    char number[16];
    std::snprintf(number, sizeof number, "%05d", index);
    // A short caption and group (inside std::string's own buffer) and a path
    // long enough to live on the heap, as the product's entries are.
    return {"Caption", std::string("Eintrag ") + number,
            "Path",    std::string("Programme\\Werkzeug") + number + ".exe",
            "Group",   "W\xF6rterb\xFC" "cher"};
}

SciFolder::SciFolder(int count) : count_(count)
{
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    path_ = std::string(temp) + "quillbar-bench-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(count);
    if (!CreateDirectoryA(path_.c_str(), nullptr)) {
        std::fprintf(stderr, "ERROR: cannot create %s (%lu)\n", path_.c_str(), GetLastError());
        return;
    }
    for (int i = 0; i < count; ++i) {
        const std::string file = path_ + "\\" + FileName(i);
        if (!WriteFileText(file, FileText(i))) {
            std::fprintf(stderr, "ERROR: cannot write %s (%lu)\n", file.c_str(), GetLastError());
            return;
        }
    }
    ready_ = true;
}

SciFolder::~SciFolder()
{
    for (int i = 0; i < count_; ++i)
        DeleteFileA((path_ + "\\" + FileName(i)).c_str());
    RemoveDirectoryA(path_.c_str());
}
