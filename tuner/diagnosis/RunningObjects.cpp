#include "RunningObjects.h"

#include "Automation.h"
#include "CoTaskMemPtr.h"
#include "HostInstance.h"

#include <objbase.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// What the walking thread and the waiting one share.
struct Shared {
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
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
            const std::lock_guard<std::mutex> hold(shared.lock);
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
        const std::lock_guard<std::mutex> hold(shared.lock);
        shared.survey.instances.push_back(std::move(instance));
        return;
    }
    const std::lock_guard<std::mutex> hold(shared.lock);
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
                const std::lock_guard<std::mutex> hold(shared->lock);
                shared->current = entry;
            }
            if (FAILED(result)) {
                const std::lock_guard<std::mutex> hold(shared->lock);
                shared->survey.dead.push_back({entry, result});
            } else {
                Classify(*shared, entry, object);
            }
            const std::lock_guard<std::mutex> hold(shared->lock);
            shared->current.clear();
            ++shared->visited;
            return true;
        });
    } catch (...) {
        // Out of memory in the middle: what was found so far stands.
    }
    if (SUCCEEDED(initialised))
        CoUninitialize();
    const std::lock_guard<std::mutex> hold(shared->lock);
    shared->survey.tableResult = walked;
    shared->finished = true;
    shared->done.notify_all();
}

}  // namespace

RunningObjectSurvey SurveyRunningObjects(DWORD timeoutMs)
{
    auto shared = std::make_shared<Shared>();
    try {
        std::thread(Walk, shared).detach();
    } catch (const std::system_error&) {
        RunningObjectSurvey survey;
        survey.tableResult = E_FAIL;
        return survey;
    }
    std::unique_lock<std::mutex> hold(shared->lock);
    const bool finished = shared->done.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                                                [&] { return shared->finished; });
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
