#include "AddinSemaphore.h"

#include <sddl.h>

#include <cstdio>

namespace {

// A security descriptor whose only entry grants everyone `access`; none
// when any access is allowed.
PSECURITY_DESCRIPTOR NewDescriptor(DWORD access)
{
    if (access == AddinSemaphore::kAnyAccess)
        return nullptr;
    char text[64];
    std::snprintf(text, sizeof text, access ? "D:(A;;0x%08lX;;;WD)" : "D:",
                  static_cast<unsigned long>(access));
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorA(text, SDDL_REVISION_1, &descriptor,
                                                         nullptr);
    return descriptor;
}

}  // namespace

AddinSemaphore::AddinSemaphore(const std::string& shortName, LONG free, DWORD access)
{
    const PSECURITY_DESCRIPTOR descriptor = NewDescriptor(access);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    handle_ = CreateSemaphoreA(descriptor ? &attributes : nullptr, free, 100,
                               ("Quillbar.Global.Semaphore." + shortName).c_str());
    LocalFree(descriptor);
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
