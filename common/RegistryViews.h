#pragma once

#include <windows.h>

// Office 2000-2003, their add-ins and the product's own installation are
// 32-bit programs. On 64-bit Windows what they write under HKLM\Software and
// HKCR\CLSID lands in the 32-bit registry view; HKCU\Software, ProgIDs and
// type-library keys are shared by both views. Code that reads what those
// installers wrote opens the keys with this view, whatever its own bitness:
// a 64-bit process names the 32-bit view, a 32-bit process already sees it
// and names none (32-bit Windows has only the one view).
inline constexpr REGSAM kInstallationView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : 0;

// The registry view of the other bitness, for code that must see what its
// twin of the other bitness registered: the 32-bit view for a 64-bit process,
// the 64-bit one for a 32-bit process on 64-bit Windows; 0 on 32-bit Windows,
// which has only the one view (and ignores both flags).
inline REGSAM OtherRegistryView()
{
    if constexpr (sizeof(void*) == 8) {
        return KEY_WOW64_32KEY;
    } else {
        BOOL wow64 = FALSE;
        return IsWow64Process(GetCurrentProcess(), &wow64) && wow64 ? KEY_WOW64_64KEY : 0;
    }
}
