#include "ServerProcess.h"

#include "UniqueHandle.h"
#include "WindowDriver.h"

#include <tlhelp32.h>

#include <vector>

namespace {

std::vector<DWORD> ProcessIds(const char* image)
{
    std::vector<DWORD> ids;
    const KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return ids;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more;
         more = Process32Next(snapshot.Get(), &entry)) {
        if (lstrcmpiA(entry.szExeFile, image) == 0)
            ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

}  // namespace

int CountProcesses(const char* image)
{
    return static_cast<int>(ProcessIds(image).size());
}

DWORD FindProcess(const char* image)
{
    const std::vector<DWORD> ids = ProcessIds(image);
    return ids.empty() ? 0 : ids.front();
}

void EndProcesses(const char* image)
{
    const std::vector<DWORD> servers = ProcessIds(image);
    if (servers.empty())
        return;
    const KernelHandle threads(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(threads.Get(), &entry); more;
         more = Thread32Next(threads.Get(), &entry)) {
        for (DWORD server : servers)
            if (entry.th32OwnerProcessID == server)
                PostThreadMessageA(entry.th32ThreadID, WM_QUIT, 0, 0);
    }
    for (DWORD id : servers) {
        const KernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        if (process && WaitForSingleObject(process.Get(), kPatienceMs) == WAIT_TIMEOUT)
            TerminateProcess(process.Get(), 1);
    }
}

bool WaitForNoProcess(const char* image, DWORD timeoutMs)
{
    return WaitUntil([image] { return CountProcesses(image) == 0; }, timeoutMs);
}
