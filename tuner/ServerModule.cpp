#include "ServerModule.h"

#include "BusyState.h"
#include "ComPtr.h"
#include "QuillbarTuner.h"
#include "Thread.h"
#include "UniqueHandle.h"

#include <atomic>

namespace server {

namespace {

DWORD mainThread = 0;
std::atomic<LONG> lockCount{0};
std::atomic<bool> activity{false};
std::atomic<bool> stopping{false};
// Signalled when the lock count falls to zero. It stays open until the
// process ends: an object released after the monitor has stopped must still
// find a valid handle.
KernelHandle shutdownEvent;

// After each whole idle interval without objects, locks or activity, asks
// the main thread to stop; it asks again after every further idle interval
// (the main thread may have been busy, or the question lost in a modal loop)
// until something is created or locked, and then waits for the count to fall
// to zero again. It ends with the process.
void Monitor()
{
    for (;;) {
        WaitForSingleObject(shutdownEvent.Get(), INFINITE);
        for (;;) {
            do {
                activity = false;
            } while (WaitForSingleObject(shutdownEvent.Get(), kIdleTimeoutMs) == WAIT_OBJECT_0);
            if (activity || lockCount != 0)
                break;
            PostThreadMessageA(mainThread, kIdleCheckMessage, 0, 0);
        }
    }
}

}  // namespace

void Initialise(DWORD mainThreadId)
{
    mainThread = mainThreadId;
}

void Lock()
{
    ++lockCount;
}

void Unlock()
{
    if (--lockCount == 0) {
        activity = true;
        if (shutdownEvent)
            SetEvent(shutdownEvent.Get());
    }
}

LONG LockCount()
{
    return lockCount;
}

bool Stopping()
{
    return stopping;
}

bool StopIfIdle()
{
    if (stopping)
        return true;
    // An operation running here may have lost its client (a script host
    // that ended): the idle monitor never ends a dialog or an installer.
    if (lockCount != 0 || busy::IsBusy())
        return false;
    stopping = true;
    CoSuspendClassObjects();
    // A client that already held the class object may have locked the
    // server in between: it is served on.
    if (lockCount == 0)
        return true;
    stopping = false;
    CoResumeClassObjects();
    return false;
}

HRESULT Run()
{
    // The event exists before any object can be released. Without it, or
    // without the monitor, the server still serves; it just never ends by
    // itself.
    shutdownEvent.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));

    DWORD cookie = 0;
    const ComPtr<IClassFactory> factory = NewQuillbarTunerFactory();
    const HRESULT registered =
        factory ? CoRegisterClassObject(CLSID_QuillbarTuner, factory.Get(), CLSCTX_LOCAL_SERVER,
                                        REGCLS_MULTIPLEUSE, &cookie)
                : E_OUTOFMEMORY;
    // Nobody could ever reach this server, so nothing would end it.
    if (FAILED(registered))
        return registered;

    if (shutdownEvent) {
        Thread monitor;
        if (monitor.Start(Monitor))
            monitor.Detach();
        else
            shutdownEvent.Reset();
    }

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == kIdleCheckMessage) {
            if (StopIfIdle())
                break;
            continue;
        }
        DispatchMessageA(&message);
    }

    CoRevokeClassObject(cookie);
    Sleep(kPauseAfterRevokeMs);
    return S_OK;
}

}  // namespace server
