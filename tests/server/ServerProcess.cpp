#include "ServerProcess.h"

#include "UniqueHandle.h"
#include "WindowDriver.h"

#include <tlhelp32.h>

#include <vector>

namespace {

std::vector<DWORD> ServerProcessIds()
{
    std::vector<DWORD> ids;
    const KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return ids;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more;
         more = Process32Next(snapshot.Get(), &entry)) {
        if (lstrcmpiA(entry.szExeFile, "qbsetup.exe") == 0)
            ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

}  // namespace

int CountServerProcesses()
{
    return static_cast<int>(ServerProcessIds().size());
}

// Asks a server to end as its idle monitor would, with the quit message on
// its main thread: it then revokes its class objects. A killed server would
// leave them registered, and later clients would be handed a dead object.
void EndServerProcesses()
{
    const std::vector<DWORD> servers = ServerProcessIds();
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
        if (process && WaitForSingleObject(process.Get(), 10000) == WAIT_TIMEOUT)
            TerminateProcess(process.Get(), 1);
    }
}

bool WaitForNoServer(DWORD timeoutMs)
{
    return WaitUntil([] { return CountServerProcesses() == 0; }, timeoutMs);
}
