#pragma once

#include <windows.h>

// qbsetup.exe processes running as COM servers in the prefix.
int CountServerProcesses();
// Ends every one of them (between tests, so each starts without a server).
void EndServerProcesses();
// Waits until none runs; false after the time-out.
bool WaitForNoServer(DWORD timeoutMs);
