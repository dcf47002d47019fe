// Stands in for a program that a web page starts through the web-page
// folder: it notes that it ran, with its command line, by appending a line to
// "<its own path>.log", and ends.
#include "UniqueHandle.h"

#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char self[MAX_PATH * 4] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    const std::string log = std::string(self) + ".log";
    const std::string line = std::string(GetCommandLineA()) + "\r\n";

    KernelHandle file(CreateFileA(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written,
                             nullptr)
               ? 0
               : 1;
}
