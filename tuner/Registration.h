#pragma once

// qbsetup's self-registration: the class, its ProgIDs and AppID, and the
// type library.

#include <windows.h>

// -RegServer. The failing result of the class's registration, else the
// result of registering the type library.
HRESULT RegisterServer();

// -UnregServer. Failures of single steps are not reported.
void UnregisterServer();

// The AppID key with RunAs "Interactive User" (install), or its removal.
bool RegisterAppId(bool install);
