#include "ServerModule.h"

#include "BusyMessageFilter.h"
#include "ComPtr.h"
#include "QuillbarTuner.h"
#include "UniqueHandle.h"

#include <atomic>
#include <thread>

namespace server {

namespace {

DWORD mainThread = 0;
std::atomic<LONG> lockCount{0};
std::atomic<bool> activity{false};
// Signalled when the lock count falls to zero. It stays open until the
// process ends: an object released after the monitor has stopped must still
// find a valid handle.
KernelHandle shutdownEvent;

// Posts the quit message once the server has gone a whole idle interval
// without objects, locks or activity.
void Monitor()
{
    for (;;) {
        WaitForSingleObject(shutdownEvent.Get(), INFINITE);
        do {
            activity = false;
        } while (WaitForSingleObject(shutdownEvent.Get(), kIdleTimeoutMs) == WAIT_OBJECT_0);
        if (!activity && lockCount == 0)
            break;
    }
    PostThreadMessageA(mainThread, WM_QUIT, 0, 0);
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

HRESULT Run()
{
    // The event exists before any object can be released. Without it, or
    // without the monitor, the server still serves; it just never ends by
    // itself.
    shutdownEvent.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));

    const BusyMessageFilterRegistration filter;
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
        try {
            std::thread(Monitor).detach();
        } catch (...) {
            shutdownEvent.Reset();
        }
    }

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);

    CoRevokeClassObject(cookie);
    Sleep(kPauseAfterRevokeMs);
    return S_OK;
}

}  // namespace server
