// Stands in for the product's setup, which owns the ".sci" files that the
// web-page folder reads, in a process of its own:
//
//   setup_files.exe --churn <folder> <operations>
//       adds, rewrites and deletes the files churn0.sci ... churn7.sci in
//       turn, one operation after the other; every version of churnK.sci has
//       the tags Caption=churnK and Version=<operation>. Files are written
//       whole under another name and then moved into place, as an installer
//       replaces them; a file that a reader holds open is tried again.
//   setup_files.exe --hold <file> <held event> <release event>
//       opens the file without sharing and locks all of it, sets the held
//       event, and keeps it so until the release event is set (at most a
//       minute).
#include "UniqueHandle.h"

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kChurnedFiles = 8;

bool WriteWhole(const std::string& path, const std::string& content)
{
    KernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written,
                     nullptr) &&
           written == content.size();
}

// Replacing or deleting a file fails while a reader holds it open.
template <typename Operation>
bool Retried(Operation operation)
{
    for (int attempt = 0; attempt < 1000; ++attempt) {
        if (operation())
            return true;
        Sleep(1);
    }
    return false;
}

int Churn(const std::string& folder, int operations)
{
    for (int operation = 0; operation < operations; ++operation) {
        const int file = operation % kChurnedFiles;
        const std::string name = folder + "\\churn" + std::to_string(file);
        const std::string sci = name + ".sci";
        if ((operation / kChurnedFiles) % 3 == 2) {
            if (!Retried([&] { return DeleteFileA(sci.c_str()) != FALSE; }))
                return 1;
            continue;
        }
        // Added when absent, rewritten when present.
        const std::string content = "[.WebPageFolder]\r\nCaption=churn" + std::to_string(file) +
                                    "\r\nVersion=" + std::to_string(operation) + "\r\n";
        const std::string written = name + ".new";
        if (!WriteWhole(written, content) || !Retried([&] {
                return MoveFileExA(written.c_str(), sci.c_str(), MOVEFILE_REPLACE_EXISTING) !=
                       FALSE;
            }))
            return 1;
    }
    return 0;
}

int Hold(const std::string& path, const std::string& heldEvent, const std::string& releaseEvent)
{
    KernelHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    KernelHandle held(OpenEventA(EVENT_MODIFY_STATE, FALSE, heldEvent.c_str()));
    KernelHandle release(OpenEventA(SYNCHRONIZE, FALSE, releaseEvent.c_str()));
    if (!file || !held || !release || !LockFile(file.Get(), 0, 0, MAXDWORD, MAXDWORD))
        return 1;
    SetEvent(held.Get());
    const DWORD waited = WaitForSingleObject(release.Get(), 60000);
    UnlockFile(file.Get(), 0, 0, MAXDWORD, MAXDWORD);
    return waited == WAIT_OBJECT_0 ? 0 : 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::vector<std::string> arguments(__argv, __argv + __argc);
    if (arguments.size() == 4 && arguments[1] == "--churn")
        return Churn(arguments[2], std::atoi(arguments[3].c_str()));
    if (arguments.size() == 5 && arguments[1] == "--hold")
        return Hold(arguments[2], arguments[3], arguments[4]);
    return 2;
}
