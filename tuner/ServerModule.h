#pragma once

// The state of qbsetup as a COM server: the lock count (live objects and
// clients' server locks) and the idle shutdown 5 s after the last release.
//
// The idle monitor only asks; the main thread decides. After an idle
// interval the monitor posts kIdleCheckMessage to the main thread, which
// stops only if the count is still 0 and no operation (an installer run, an
// apply, the dialog) runs there: it suspends and revokes the class objects,
// so that new activations start a new server, and then still serves what
// arrives (a creation by a client that was handed the class object just
// before, and that object's calls) until nothing has been held for a whole
// pause; a client that reaches it meanwhile has it register its class object
// again and serve on. No client is ever handed an object that dies with its
// server.

#include <windows.h>

namespace server {

// Called once on the main thread before anything else of the server runs.
void Initialise(DWORD mainThreadId);

void Lock();
void Unlock();
LONG LockCount();

// The main thread's answer to the monitor: true when the server stops
// (nothing held, nothing running; class objects suspended); false when it
// serves on (the monitor asks again after the next idle interval).
bool StopIfIdle();

// Told by the message filter of every incoming call, before it is served. A
// call that reaches the server after it revoked its class object comes from
// a client COM was already handing this server to (under Wine, that client
// then asks the server for the class object, which fails once revoked): the
// server registers the class object again and serves on.
void OnIncomingCall();

// Posted by the monitor to the main thread after an idle interval. A thread
// message: a modal loop of an operation drops it, and the monitor asks again.
inline constexpr UINT kIdleCheckMessage = WM_APP + 0x51;

// Registers the class objects, runs the message loop until the server has
// been idle long enough (StopIfIdle), then revokes them and serves on until
// nothing has been held for the pause after revoking.
// The program's message filter (registered for the main thread in every mode)
// answers the incoming calls. A class object that cannot be registered ends
// it at once with that failure.
HRESULT Run();

// Idle time before the server quits, and how long nothing must be held after
// revoking before it ends.
inline constexpr DWORD kIdleTimeoutMs = 5000;
inline constexpr DWORD kPauseAfterRevokeMs = 1000;

}  // namespace server
