#pragma once

// qbsetup's self-registration: the class, its ProgIDs and AppID, and the
// type library.

#include <windows.h>

#include <string>

// -RegServer. The failing result of the class's registration, else the
// result of registering the type library.
HRESULT RegisterServer();

// -UnregServer. Failures of single steps are not reported.
void UnregisterServer();

// The AppID key with RunAs "Interactive User" (install), or its removal.
bool RegisterAppId(bool install);

// LocalServer32's command for the program at `path`: in double quotes when
// the path holds a blank (where the volume keeps no short names), so that
// starting the server cannot start a program named by the part before it.
std::string LocalServerCommand(const std::string& path);
