#include "ProgramRun.h"

#include "ScratchFolder.h"
#include "UniqueHandle.h"

#include <vector>

ProgramRun RunProgram(const std::string& commandLine, DWORD timeoutMs)
{
    ProgramRun run;
    ScratchFolder folder;
    const std::string outputPath = folder / "output.txt";
    {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        KernelHandle output(CreateFileA(outputPath.c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
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
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                            nullptr, nullptr, &startup, &started))
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
    }
    run.output = ReadWholeFile(outputPath);
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
