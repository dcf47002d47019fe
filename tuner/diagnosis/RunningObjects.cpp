#include "RunningObjects.h"

#include "Automation.h"
#include "CoTaskMemPtr.h"
#include "Event.h"
#include "ExclusiveLock.h"
#include "HostInstance.h"
#include "Thread.h"

#include <objbase.h>

#include <memory>
#include <mutex>

namespace {

// What the walking thread and the waiting one share.
struct Shared {
    ExclusiveLock lock;
    Event done{Event::Reset::Manual};
    RunningObjectSurvey survey;
    std::wstring current;  // the entry being asked, empty between entries
    int visited = 0;
};

std::wstring DisplayName(IMoniker* moniker)
{
    ComPtr<IBindCtx> context;
    if (FAILED(CreateBindCtx(0, context.Put())))
        return L"?";
    LPOLESTR name = nullptr;
    if (FAILED(moniker->GetDisplayName(context.Get(), nullptr, &name)) || !name)
        return L"?";
    const CoTaskMemPtr<OLECHAR> owner(name);
    return name;
}

// Which host an entry is, by the application interface it answers for;
// a failure other than "no such interface" means the entry is dead.
void Classify(Shared& shared, const std::wstring& entry, IUnknown* object)
{
    for (const OfficeHost& host : kOfficeHosts) {
        AutomationObject application;
        try {
            application = AutomationObject::Query(object, host.applicationIid);
        } catch (const ComError& error) {
            const std::lock_guard<ExclusiveLock> hold(shared.lock);
            shared.survey.dead.push_back({entry, error.Result()});
            return;
        }
        if (!application)
            continue;
        RunningInstance instance;
        instance.host = IdOf(host);
        instance.entry = entry;
        try {
            instance.version = application.GetText("Version");
            instance.versionRead = true;
        } catch (const ComError& error) {
            instance.versionResult = error.Result();
        }
        const std::lock_guard<ExclusiveLock> hold(shared.lock);
        shared.survey.instances.push_back(std::move(instance));
        return;
    }
    const std::lock_guard<ExclusiveLock> hold(shared.lock);
    ++shared.survey.otherEntries;
}

void Walk(const std::shared_ptr<Shared>& shared)
{
    const HRESULT initialised = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    HRESULT walked = E_FAIL;
    try {
        walked = VisitRunningObjects([&](IMoniker* moniker, HRESULT result, IUnknown* object) {
            const std::wstring entry = DisplayName(moniker);
            {
                const std::lock_guard<ExclusiveLock> hold(shared->lock);
                shared->current = entry;
            }
            if (FAILED(result)) {
                const std::lock_guard<ExclusiveLock> hold(shared->lock);
                shared->survey.dead.push_back({entry, result});
            } else {
                Classify(*shared, entry, object);
            }
            const std::lock_guard<ExclusiveLock> hold(shared->lock);
            shared->current.clear();
            ++shared->visited;
            return true;
        });
    } catch (...) {
        // Out of memory in the middle: what was found so far stands.
    }
    if (SUCCEEDED(initialised))
        CoUninitialize();
    const std::lock_guard<ExclusiveLock> hold(shared->lock);
    shared->survey.tableResult = walked;
    shared->done.Set();
}

}  // namespace

RunningObjectSurvey SurveyRunningObjects(DWORD timeoutMs)
{
    RunningObjectSurvey failed;
    failed.tableResult = E_FAIL;
    std::shared_ptr<Shared> shared;
    try {
        shared = std::make_shared<Shared>();
    } catch (const std::bad_alloc&) {
        return failed;
    }
    // The walk may outlive this call; it holds its own reference.
    Thread walk;
    if (!shared->lock.Ready() || !shared->done.Ready() ||
        !walk.Start([shared] { Walk(shared); }))
        return failed;
    walk.Detach();
    shared->done.Wait(timeoutMs);
    const std::lock_guard<ExclusiveLock> hold(shared->lock);
    // Asked again under the lock, under which the walk signals its end.
    const bool finished = shared->done.Wait(0);
    RunningObjectSurvey survey = shared->survey;
    if (!finished) {
        survey.complete = false;
        // Stuck between entries: in getting the next entry's object.
        survey.stuckEntry = !shared->current.empty()
                                ? shared->current
                                : L"der Eintrag nach den ersten " +
                                      std::to_wstring(shared->visited);
    }
    return survey;
}
