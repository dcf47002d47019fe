#include "ProgramRun.h"

#include "ExclusiveLock.h"
#include "ScratchFolder.h"
#include "UniqueHandle.h"

#include <mutex>
#include <vector>

namespace {

// A handle that is inheritable while another thread starts a program goes
// to that program too, which then holds the output file open for writing
// after this program ended, and reading it fails. Only one thread at a time
// makes its handle inheritable, and only while its own program starts.
ExclusiveLock startingWithHandles;

}  // namespace

ProgramRun RunProgram(const std::string& commandLine, DWORD timeoutMs)
{
    ProgramRun run;
    ScratchFolder folder;
    const std::string outputPath = folder / "output.txt";
    {
        KernelHandle output(CreateFileA(outputPath.c_str(), GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!output)
            return run;

        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nullptr;
        startup.hStdOutput = output.Get();
        startup.hStdError = output.Get();
        PROCESS_INFORMATION started = {};
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        BOOL created = FALSE;
        {
            std::lock_guard<ExclusiveLock> starting(startingWithHandles);
            SetHandleInformation(output.Get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
            created = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE,
                                     CREATE_NO_WINDOW, nullptr, nullptr, &startup, &started);
            SetHandleInformation(output.Get(), HANDLE_FLAG_INHERIT, 0);
        }
        if (!created)
            return run;
        KernelHandle process(started.hProcess);
        KernelHandle thread(started.hThread);
        if (WaitForSingleObject(process.Get(), timeoutMs) != WAIT_OBJECT_0) {
            TerminateProcess(process.Get(), 1);
            WaitForSingleObject(process.Get(), 5000);
            return run;
        }
        GetExitCodeProcess(process.Get(), &run.exitCode);
        run.finished = true;
        // Read through the handle the program wrote through: opening the
        // file again could meet a process that still holds it.
        LARGE_INTEGER size = {};
        GetFileSizeEx(output.Get(), &size);
        run.output.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        SetFilePointer(output.Get(), 0, nullptr, FILE_BEGIN);
        if (!run.output.empty() &&
            !ReadFile(output.Get(), &run.output[0], static_cast<DWORD>(run.output.size()), &read,
                      nullptr))
            read = 0;
        run.output.resize(read);
    }
    return run;
}

KernelHandle StartProgram(const std::string& commandLine)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &started))
        return KernelHandle();
    CloseHandle(started.hThread);
    return KernelHandle(started.hProcess);
}

std::string BinaryFolder()
{
    char path[MAX_PATH * 4] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}
