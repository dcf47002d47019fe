#pragma once

// The state of qbsetup as a COM server: the lock count (live objects and
// clients' server locks) and the idle shutdown 5 s after the last release.

#include <windows.h>

namespace server {

// Called once on the main thread before anything else of the server runs.
void Initialise(DWORD mainThreadId);

void Lock();
void Unlock();
LONG LockCount();

// Registers the class objects, runs the message loop until the monitor
// decides the server has been idle long enough, then revokes them and pauses.
// While it serves, the tuner's message filter answers incoming calls. A class
// object that cannot be registered ends it at once with that failure.
HRESULT Run();

// Idle time before the server quits, and the pause after revoking.
inline constexpr DWORD kIdleTimeoutMs = 5000;
inline constexpr DWORD kPauseAfterRevokeMs = 1000;

}  // namespace server
