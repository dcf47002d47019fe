#include "BoundedWork.h"

#include "Event.h"
#include "Thread.h"

#include <objbase.h>

#include <memory>
#include <utility>

namespace {

// What the work's thread and its waiter share; the thread holds it for as
// long as it runs, also after the waiter has gone.
struct Shared {
    explicit Shared(std::function<void()> work) : work(std::move(work)) {}
    std::function<void()> work;
    Event done{Event::Reset::Manual};
};

void RunOnItsThread(const std::shared_ptr<Shared>& shared)
{
    const HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    try {
        shared->work();
    } catch (...) {
        // The work's own failures are its business; it ended all the same.
    }
    if (SUCCEEDED(initialised))
        CoUninitialize();
    shared->done.Set();
}

// Waits for the event, handling the caller's messages where it lives in a
// single-threaded apartment. Whatever the wait answers, the event itself
// tells whether the work ended (a message filter may have cancelled the
// wait's result, not the wait).
bool WaitFor(const Event& done, DWORD limitMs)
{
    HANDLE handle = done.Get();
    DWORD index = 0;
    if (CoWaitForMultipleHandles(0, limitMs, 1, &handle, &index) == CO_E_NOTINITIALIZED)
        return done.Wait(limitMs);
    return done.Wait(0);
}

}  // namespace

BoundedOutcome RunBounded(DWORD limitMs, std::function<void()> work)
{
    std::shared_ptr<Shared> shared;
    try {
        shared = std::make_shared<Shared>(std::move(work));
    } catch (...) {
        return BoundedOutcome::NotStarted;
    }
    Thread thread;
    if (!shared->done.Ready() || !thread.Start([shared] { RunOnItsThread(shared); }))
        return BoundedOutcome::NotStarted;
    thread.Detach();
    return WaitFor(shared->done, limitMs) ? BoundedOutcome::Finished : BoundedOutcome::StillRunning;
}
