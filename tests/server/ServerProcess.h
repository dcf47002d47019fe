#pragma once

#include "Patience.h"

#include <windows.h>

// Programs of the prefix by their file name ("qbsetup.exe", ...).
int CountProcesses(const char* image);
// The id of one of them, 0 when none runs.
DWORD FindProcess(const char* image);
// Asks every one of them to end as a server's idle monitor would, with the
// quit message on each of its threads, and waits for them; one that does not
// end is killed. (A killed COM server would leave its class objects
// registered, and later clients would be handed a dead object.)
void EndProcesses(const char* image);
// Waits until none runs; false after the time-out.
bool WaitForNoProcess(const char* image, DWORD timeoutMs = kPatienceMs);

// The same for qbsetup.exe running as COM server.
inline int CountServerProcesses() { return CountProcesses("qbsetup.exe"); }
inline void EndServerProcesses() { EndProcesses("qbsetup.exe"); }
inline bool WaitForNoServer(DWORD timeoutMs = kPatienceMs) { return WaitForNoProcess("qbsetup.exe", timeoutMs); }
