#include "ServerModule.h"

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

void Run()
{
    // Without the event or the thread the server still serves; it just never
    // ends by itself.
    shutdownEvent.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (shutdownEvent) {
        try {
            std::thread(Monitor).detach();
        } catch (...) {
            shutdownEvent.Reset();
        }
    }

    DWORD cookie = 0;
    const ComPtr<IClassFactory> factory = NewQuillbarTunerFactory();
    CoRegisterClassObject(CLSID_QuillbarTuner, factory.Get(), CLSCTX_LOCAL_SERVER,
                          REGCLS_MULTIPLEUSE, &cookie);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);

    if (cookie)
        CoRevokeClassObject(cookie);
    Sleep(kPauseAfterRevokeMs);
}

}  // namespace server
