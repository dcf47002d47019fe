#include "ProcessResources.h"

#include <vector>

namespace {

// NtQuerySystemInformation(SystemExtendedHandleInformation)
constexpr ULONG kExtendedHandleInformation = 64;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

struct HandleEntry {
    void* object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ULONG access;
    USHORT creatorBackTrace;
    USHORT typeIndex;
    ULONG attributes;
    ULONG reserved;
};
struct HandleList {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};

DWORD CountListedHandles(DWORD processId)
{
    using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return 0;
    std::vector<char> buffer(1 << 16);
    LONG status = 0;
    for (;;) {
        ULONG needed = 0;
        status = query(kExtendedHandleInformation, buffer.data(),
                       static_cast<ULONG>(buffer.size()), &needed);
        if (status != kInfoLengthMismatch)
            break;
        buffer.resize(needed > buffer.size() ? needed + 4096 : buffer.size() * 2);
    }
    if (status < 0)
        return 0;
    const auto* list = reinterpret_cast<const HandleList*>(buffer.data());
    DWORD count = 0;
    for (ULONG_PTR i = 0; i < list->count; ++i)
        count += list->entries[i].processId == processId ? 1 : 0;
    return count;
}

size_t CommittedPrivateBytes(HANDLE process)
{
    size_t bytes = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* address = nullptr;
         VirtualQueryEx(process, address, &region, sizeof region) == sizeof region;
         address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            bytes += region.RegionSize;
    }
    return bytes;
}

}  // namespace

ProcessResources MeasureProcess(HANDLE process)
{
    ProcessResources resources;
    if (!GetProcessHandleCount(process, &resources.handles) || resources.handles == 0)
        resources.handles = CountListedHandles(GetProcessId(process));
    resources.privateBytes = CommittedPrivateBytes(process);
    return resources;
}

std::ostream& operator<<(std::ostream& out, const ProcessResources& resources)
{
    return out << resources.handles << " handles, " << resources.privateBytes << " private bytes";
}
