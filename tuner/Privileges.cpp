#include "Privileges.h"

#include "UniqueHandle.h"

#include <windows.h>

bool IsWindows9x()
{
    // The version word's top bit marks the 9x kernels; a major version below
    // 4 there is 16-bit-hosted Win32.
    const DWORD version = GetVersion();
    return (version & 0x80000000u) != 0 && LOBYTE(LOWORD(version)) >= 4;
}

bool EnablePrivilege(const char* name, bool enable)
{
    if (IsWindows9x())
        return true;
    HANDLE rawToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &rawToken))
        return false;
    const KernelHandle token(rawToken);

    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    if (!LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid))
        return false;
    privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
    return AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr) != FALSE;
}
