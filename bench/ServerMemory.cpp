#include "ServerMemory.h"

#include "BareTuner_h.h"
#include "ProcessResources.h"
#include "QBSetup_h.h"
#include "ServerProcess.h"
#include "TunerBenchPrefix.h"
#include "TunerClient.h"
#include "UniqueHandle.h"

#include <tlhelp32.h>

int ThreadsOf(DWORD processId)
{
    const KernelHandle threads(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(threads.Get(), &entry); more;
         more = Thread32Next(threads.Get(), &entry))
        count += entry.th32OwnerProcessID == processId ? 1 : 0;
    return count;
}

template <typename Tuner>
bool MeasureServerMemory(Tuner* tuner, const char* image, const TunerBenchSizes& sizes,
                         ServerMemory& memory)
{
    const DWORD id = FindProcess(image);
    const KernelHandle server(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
    if (!server)
        return false;
    memory.atStart = MeasureProcess(server.Get()).privateBytes;
    memory.threadsAtStart = ThreadsOf(id);
    int failed = 0;
    const auto callEach = [&] {
        for (TunerMember member : {TunerMember::Count, TunerMember::Name, TunerMember::Enabled})
            failed += CallRepeatedly(tuner, member, sizes.calls, kInstalledHosts);
    };
    callEach();
    memory.afterCalls = MeasureProcess(server.Get()).privateBytes;
    memory.threadsAfterCalls = ThreadsOf(id);
    callEach();
    memory.afterMoreCalls = MeasureProcess(server.Get()).privateBytes;
    memory.threadsAfterMoreCalls = ThreadsOf(id);
    memory.calls = 3 * sizes.calls;
    return failed == 0;
}

template bool MeasureServerMemory(IQuillbarTuner*, const char*, const TunerBenchSizes&,
                                  ServerMemory&);
template bool MeasureServerMemory(IBareTuner*, const char*, const TunerBenchSizes&,
                                  ServerMemory&);
