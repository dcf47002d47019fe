#include "SemaphoreState.h"

#include "UniqueHandle.h"

#include <windows.h>

namespace {

// The right to read a semaphore's state; winnt.h names only the others.
constexpr DWORD kSemaphoreQueryState = 0x0001;

// ntdll's NtQuerySemaphore with SemaphoreBasicInformation (class 0): the one
// platform call that reads the counts without taking or giving any.
struct SemaphoreBasicInformation {
    LONG currentCount;
    LONG maximumCount;
};
using QuerySemaphore = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);

QuerySemaphore FindQuerySemaphore()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll ? reinterpret_cast<QuerySemaphore>(
                       reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "NtQuerySemaphore")))
                 : nullptr;
}

}  // namespace

SemaphoreState ReadSemaphoreState(const std::string& name)
{
    SemaphoreState state;
    const KernelHandle semaphore(OpenSemaphoreA(kSemaphoreQueryState, FALSE, name.c_str()));
    if (!semaphore) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) {
            state.kind = SemaphoreState::Kind::Unreadable;
            state.error = error;
        }
        return state;
    }
    SemaphoreBasicInformation information = {};
    const QuerySemaphore query = FindQuerySemaphore();
    const LONG status = query ? query(semaphore.Get(), 0, &information, sizeof information, nullptr)
                              : -1;
    if (status != 0) {
        state.kind = SemaphoreState::Kind::Unreadable;
        state.error = static_cast<unsigned long>(status);
        return state;
    }
    state.kind = SemaphoreState::Kind::Present;
    state.free = information.currentCount;
    state.maximum = information.maximumCount;
    return state;
}
