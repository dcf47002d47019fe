#include "AddinSemaphore.h"

AddinSemaphore::AddinSemaphore(const std::string& shortName, LONG free)
    : handle_(CreateSemaphoreA(nullptr, free, 100,
                               ("Quillbar.Global.Semaphore." + shortName).c_str()))
{
}

AddinSemaphore::~AddinSemaphore()
{
    CloseHandle(handle_);
}

LONG AddinSemaphore::Free() const
{
    struct {
        LONG current;
        LONG maximum;
    } information = {};
    using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    static const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySemaphore")));
    query(handle_, 0, &information, sizeof information, nullptr);  // SemaphoreBasicInformation
    return information.current;
}

void AddinSemaphore::Release(LONG counts) const
{
    ReleaseSemaphore(handle_, counts, nullptr);
}
