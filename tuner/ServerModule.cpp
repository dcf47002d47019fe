#include "ServerModule.h"

#include "BusyState.h"
#include "ComPtr.h"
#include "Event.h"
#include "MessageWait.h"
#include "QuillbarTuner.h"
#include "Thread.h"
#include "UniqueHandle.h"

#include <atomic>

namespace server {

namespace {

DWORD mainThread = 0;
std::atomic<LONG> lockCount{0};
std::atomic<bool> activity{false};
// How often the lock count has fallen to zero.
std::atomic<unsigned> lastReleases{0};
// Signalled when the lock count falls to zero. It stays open until the
// process ends: an object released after the server's loop has ended (when
// COM goes) still finds a valid handle, and the idle monitor, which waits on
// it, has ended by then.
KernelHandle shutdownEvent;

// After each whole idle interval without objects, locks or activity, asks
// the main thread to stop; it asks again after every further idle interval
// (the main thread may have been busy, or the question lost in a modal loop)
// until something is created or locked, and then waits for the count to fall
// to zero again. It ends when `stop` is set.
void Monitor(HANDLE stop)
{
    const HANDLE events[] = {shutdownEvent.Get(), stop};
    const auto wait = [&](DWORD timeoutMs) {
        return WaitForMultipleObjects(2, events, FALSE, timeoutMs);
    };
    for (;;) {
        if (wait(INFINITE) != WAIT_OBJECT_0)
            return;
        for (;;) {
            DWORD woken;
            do {
                activity = false;
            } while ((woken = wait(kIdleTimeoutMs)) == WAIT_OBJECT_0);
            if (woken != WAIT_TIMEOUT)
                return;
            if (activity || lockCount != 0)
                break;
            PostThreadMessageA(mainThread, kIdleCheckMessage, 0, 0);
        }
    }
}

// The idle monitor for as long as the server's loop runs.
class IdleMonitor {
public:
    IdleMonitor()
    {
        // Without the event or the thread the server still serves; it just
        // never ends by itself.
        if (shutdownEvent && stop_.Ready()) {
            const HANDLE stop = stop_.Get();
            thread_.Start([stop] { Monitor(stop); });
        }
    }
    ~IdleMonitor()
    {
        stop_.Set();
        thread_.Join();
    }
    IdleMonitor(const IdleMonitor&) = delete;
    IdleMonitor& operator=(const IdleMonitor&) = delete;

private:
    Event stop_{Event::Reset::Manual};
    Thread thread_;
};

// The class object while the server runs. Once it is revoked, a client that
// still reaches the server (an activation COM began before the revoke: under
// Wine the client then asks this process for the class object, which fails
// once it is revoked) makes the server register it again and serve on, so
// that no activation fails at the idle boundary (OnIncomingCall).
struct Served {
    IClassFactory* factory = nullptr;
    DWORD cookie = 0;
    bool revoked = false;
    bool quitting = false;  // told to quit: ends whatever arrives
};
Served served;

// Runs the message loop until the server has been idle long enough (true),
// or the quit message came (false).
bool ServeUntilIdle()
{
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == kIdleCheckMessage) {
            if (StopIfIdle())
                return true;
            continue;
        }
        DispatchMessageA(&message);
    }
    return false;
}

// After the class object is revoked: a client that COM handed it just
// before may still create an object and call it (Windows holds such
// creations back while the class objects are suspended; Wine does not), so
// the server serves on until nothing has been held for a whole pause, or
// until a client reaching it has had the class object registered again
// (OnIncomingCall). New activations meanwhile start a new server, as they
// would once this one has gone.
void ServeOutThePause()
{
    DWORD quietSince = GetTickCount();
    unsigned releasesSeen = lastReleases;
    for (;;) {
        if (lockCount != 0 || lastReleases != releasesSeen) {
            quietSince = GetTickCount();
            releasesSeen = lastReleases;
        }
        const DWORD quiet = GetTickCount() - quietSince;
        if (!served.revoked || (lockCount == 0 && quiet >= kPauseAfterRevokeMs))
            return;
        const DWORD waitMs = lockCount != 0 ? INFINITE : kPauseAfterRevokeMs - quiet;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, waitMs, QS_ALLINPUT);
        if (!HandleWaitingMessages())
            return;
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
        ++lastReleases;
        if (shutdownEvent)
            SetEvent(shutdownEvent.Get());
    }
}

LONG LockCount()
{
    return lockCount;
}

bool StopIfIdle()
{
    // An operation running here may have lost its client (a script host
    // that ended): the idle monitor never ends a dialog or an installer.
    if (lockCount != 0 || busy::IsBusy())
        return false;
    // Where COM honours it, no further activation is handed this process.
    CoSuspendClassObjects();
    return true;
}

void OnIncomingCall()
{
    if (!served.factory || !served.revoked || served.quitting)
        return;
    DWORD cookie = 0;
    if (SUCCEEDED(CoRegisterClassObject(CLSID_QuillbarTuner, served.factory, CLSCTX_LOCAL_SERVER,
                                        REGCLS_MULTIPLEUSE, &cookie))) {
        served.cookie = cookie;
        served.revoked = false;
    }
}

HRESULT Run()
{
    // The event exists before any object can be released.
    if (!shutdownEvent)
        shutdownEvent.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));

    const ComPtr<IClassFactory> factory = NewQuillbarTunerFactory();
    DWORD cookie = 0;
    const HRESULT registered =
        factory ? CoRegisterClassObject(CLSID_QuillbarTuner, factory.Get(), CLSCTX_LOCAL_SERVER,
                                        REGCLS_MULTIPLEUSE, &cookie)
                : E_OUTOFMEMORY;
    // Nobody could ever reach this server, so nothing would end it.
    if (FAILED(registered))
        return registered;
    served = {factory.Get(), cookie, false, false};

    const IdleMonitor monitor;
    for (;;) {
        served.quitting = !ServeUntilIdle();
        CoRevokeClassObject(served.cookie);
        served.revoked = true;
        ServeOutThePause();
        // Still revoked: nothing came, or the server was told to quit.
        if (served.revoked)
            break;
    }
    served = {};
    return S_OK;
}

}  // namespace server
