#include "RunningObjects.h"

#include "Automation.h"
#include "BoundedWork.h"
#include "CoTaskMemPtr.h"
#include "ExclusiveLock.h"
#include "HostInstance.h"
#include "MarshaledInterface.h"

#include <objbase.h>

#include <memory>
#include <mutex>

namespace {

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

// One entry asked on a thread of its own: its object, which host's
// application it is, that application's version. The walk and that thread
// share what it found; the thread keeps it also after the walk has gone on.
class EntryQuestions {
public:
    explicit EntryQuestions(DWORD limitMs) : limitMs_(limitMs) {}

    // On the walk's thread, before the questions start: the moniker goes to
    // the questions' thread (a moniker is copied, not called across).
    HRESULT Hand(IMoniker* moniker) { return moniker_.Marshal(IID_IMoniker, moniker); }

    // On the questions' own thread. A failure other than "no such interface"
    // means the entry is dead.
    void Ask()
    {
        ComPtr<IMoniker> moniker;
        HRESULT got = moniker_.Take(IID_IMoniker, moniker);
        ComPtr<IUnknown> object;
        if (SUCCEEDED(got))
            got = GetRunningObjectWithin(moniker.Get(), limitMs_, object);
        if (FAILED(got)) {
            Settle([&] { failure_ = got; });
            return;
        }
        for (const OfficeHost& host : kOfficeHosts) {
            AutomationObject application;
            try {
                application = AutomationObject::Query(object.Get(), host.applicationIid);
            } catch (const ComError& error) {
                Settle([&] { failure_ = error.Result(); });
                return;
            }
            if (!application)
                continue;
            {
                const std::lock_guard<ExclusiveLock> hold(lock_);
                host_ = &host;
            }
            std::string version;
            HRESULT versionResult = S_OK;
            try {
                version = application.GetText("Version");
            } catch (const ComError& error) {
                versionResult = error.Result();
            }
            Settle([&] {
                version_ = version;
                versionResult_ = versionResult;
            });
            return;
        }
        Settle([] {});
    }

    // On the walk's thread, once the questions have ended or their limit has
    // passed: what the entry said, into the survey.
    void Report(BoundedOutcome outcome, const std::wstring& entry, RunningObjectSurvey& survey)
    {
        if (outcome == BoundedOutcome::NotStarted) {
            survey.dead.push_back({entry, E_OUTOFMEMORY});
            return;
        }
        const std::lock_guard<ExclusiveLock> hold(lock_);
        // A look-up that gave up still waits on its own thread.
        if (!answered_ || failure_ == RPC_E_CALL_CANCELED) {
            survey.unanswered.push_back(entry);
            survey.settled = false;
        }
        if (FAILED(failure_)) {
            if (failure_ != RPC_E_CALL_CANCELED)
                survey.dead.push_back({entry, failure_});
        } else if (host_) {
            RunningInstance instance;
            instance.host = IdOf(*host_);
            instance.entry = entry;
            instance.versionRead = answered_ && SUCCEEDED(versionResult_);
            if (instance.versionRead)
                instance.version = version_;
            instance.versionResult = answered_ ? versionResult_ : RPC_E_CALL_CANCELED;
            survey.instances.push_back(std::move(instance));
        } else if (answered_) {
            ++survey.otherEntries;
        }
    }

    bool Ready() const { return lock_.Ready(); }

private:
    template <typename Record>
    void Settle(Record record)
    {
        const std::lock_guard<ExclusiveLock> hold(lock_);
        record();
        answered_ = true;
    }

    const DWORD limitMs_;
    ExclusiveLock lock_;
    MarshaledInterface moniker_;
    bool answered_ = false;
    HRESULT failure_ = S_OK;  // of getting the object or of asking it
    const OfficeHost* host_ = nullptr;
    std::string version_;
    HRESULT versionResult_ = S_OK;
};

void SurveyEntry(IMoniker* moniker, DWORD limitMs, RunningObjectSurvey& survey)
{
    const std::wstring entry = DisplayName(moniker);
    const auto questions = std::make_shared<EntryQuestions>(limitMs);
    const HRESULT handed = questions->Ready() ? questions->Hand(moniker) : E_OUTOFMEMORY;
    if (FAILED(handed)) {
        survey.dead.push_back({entry, handed});
        return;
    }
    const BoundedOutcome outcome = RunBounded(limitMs, [questions] { questions->Ask(); });
    questions->Report(outcome, entry, survey);
}

}  // namespace

RunningObjectSurvey SurveyRunningObjects(DWORD entryLimitMs)
{
    RunningObjectSurvey survey;
    try {
        // The table and its monikers are the system's (the running-object
        // table service), not the entries' programs.
        ComPtr<IRunningObjectTable> table;
        ComPtr<IEnumMoniker> monikers;
        if (FAILED(GetRunningObjectTable(0, table.Put())) ||
            FAILED(table->EnumRunning(monikers.Put())) || !monikers) {
            survey.tableResult = E_FAIL;
            return survey;
        }
        ComPtr<IMoniker> moniker;
        while (monikers->Next(1, moniker.Put(), nullptr) == S_OK)
            SurveyEntry(moniker.Get(), entryLimitMs, survey);
    } catch (const std::bad_alloc&) {
        // Out of memory in the middle: what was found so far stands.
    }
    return survey;
}
