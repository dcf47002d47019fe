#include "HostInstance.h"

#include "BoundedWork.h"
#include "ExclusiveLock.h"
#include "MarshaledInterface.h"
#include "OutgoingCallBound.h"
#include "TextConversion.h"

#include <ole2.h>

#include <memory>
#include <mutex>
#include <utility>

namespace {

// One running-object entry's object, got on a thread of its own: the entry's
// program may have stopped answering, and then only that thread waits. The
// moniker goes to it and the object comes back marshaled; once the waiter
// has given up, the look-up lets go of what it got.
class EntryLookup {
public:
    // On the waiter's thread, before the look-up starts.
    HRESULT Hand(IMoniker* moniker) { return moniker_.Marshal(IID_IMoniker, moniker); }

    // On the look-up's own thread.
    void Run()
    {
        ComPtr<IMoniker> moniker;
        HRESULT hr = moniker_.Take(IID_IMoniker, moniker);
        ComPtr<IRunningObjectTable> table;
        if (SUCCEEDED(hr))
            hr = GetRunningObjectTable(0, table.Put());
        ComPtr<IUnknown> object;
        if (SUCCEEDED(hr))
            hr = table->GetObject(moniker.Get(), object.Put());
        if (SUCCEEDED(hr) && !object)
            hr = E_POINTER;
        // Outside the lock: marshaling may call the entry's program.
        MarshaledInterface found;
        if (SUCCEEDED(hr))
            hr = found.Marshal(IID_IUnknown, object.Get());

        const std::lock_guard<ExclusiveLock> hold(lock_);
        if (abandoned_)
            return;  // `found` goes here, while COM is up on this thread
        result_ = hr;
        object_ = std::move(found);
        done_ = true;
    }

    // On the waiter's thread, once the look-up has ended or the bound has
    // passed: the object, or why there is none.
    HRESULT Take(BoundedOutcome outcome, ComPtr<IUnknown>& object)
    {
        if (outcome == BoundedOutcome::NotStarted) {
            moniker_ = MarshaledInterface();
            return E_OUTOFMEMORY;
        }
        const std::lock_guard<ExclusiveLock> hold(lock_);
        if (!done_) {
            abandoned_ = true;
            return RPC_E_CALL_CANCELED;
        }
        return FAILED(result_) ? result_ : object_.Take(IID_IUnknown, object);
    }

    bool Ready() const { return lock_.Ready(); }

private:
    ExclusiveLock lock_;
    MarshaledInterface moniker_;
    MarshaledInterface object_;
    HRESULT result_ = E_FAIL;
    bool done_ = false;
    bool abandoned_ = false;
};

}  // namespace

HRESULT GetRunningObjectWithin(IMoniker* moniker, DWORD limitMs, ComPtr<IUnknown>& object)
{
    object.Reset();
    std::shared_ptr<EntryLookup> lookup;
    try {
        lookup = std::make_shared<EntryLookup>();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (!lookup->Ready())
        return E_OUTOFMEMORY;
    const HRESULT handed = lookup->Hand(moniker);
    if (FAILED(handed))
        return handed;
    BoundedOutcome outcome = BoundedOutcome::NotStarted;
    try {
        outcome = RunBounded(limitMs, [lookup] { lookup->Run(); });
    } catch (const std::bad_alloc&) {
    }
    return lookup->Take(outcome, object);
}

HRESULT VisitRunningObjects(const RunningObjectVisitor& visit)
{
    ComPtr<IRunningObjectTable> table;
    if (FAILED(GetRunningObjectTable(0, table.Put())))
        return E_FAIL;
    ComPtr<IEnumMoniker> monikers;
    if (FAILED(table->EnumRunning(monikers.Put())) || !monikers)
        return E_FAIL;

    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.Put(), nullptr) == S_OK) {
        ComPtr<IUnknown> object;
        const HRESULT result = GetRunningObjectWithin(moniker.Get(), OutgoingCallBoundMs(), object);
        if (!visit(moniker.Get(), result, SUCCEEDED(result) ? object.Get() : nullptr))
            break;
    }
    return S_OK;
}

bool VisitRunningObjects(const IID& iid, const std::function<bool(AutomationObject)>& visit)
{
    const HRESULT walked = VisitRunningObjects([&](IMoniker*, HRESULT result, IUnknown* object) {
        if (FAILED(result))
            return true;
        ComPtr<IDispatch> answer;
        if (FAILED(object->QueryInterface(iid, answer.PutVoid())) || !answer)
            return true;
        return visit(AutomationObject(std::move(answer), iid));
    });
    return SUCCEEDED(walked);
}

HRESULT FindRunningObject(const IID& iid, AutomationObject& found)
{
    found.Reset();
    try {
        VisitRunningObjects(iid, [&](AutomationObject object) {
            found = std::move(object);
            return false;
        });
    } catch (...) {
        found.Reset();
    }
    return found ? S_OK : E_FAIL;
}

HRESULT CreateHostInstance(const char* progIdOrClsid, IUnknown* outer, DWORD context,
                           const IID& iid, AutomationObject& instance)
{
    if (!progIdOrClsid)
        return E_INVALIDARG;
    std::wstring name = ToWide(progIdOrClsid);
    if (name.empty() && *progIdOrClsid)
        return HRESULT_FROM_WIN32(GetLastError());

    CLSID clsid;
    HRESULT hr = name[0] == L'{' ? CLSIDFromString(name.data(), &clsid)
                                 : CLSIDFromProgID(name.c_str(), &clsid);
    if (FAILED(hr))
        return hr;

    instance.Reset();
    ComPtr<IDispatch> object;
    if (context & (CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)) {
        ComPtr<IUnknown> unknown;
        hr = CoCreateInstance(clsid, outer, context, IID_IUnknown, unknown.PutVoid());
        if (SUCCEEDED(hr))
            hr = OleRun(unknown.Get());
        if (SUCCEEDED(hr))
            hr = unknown->QueryInterface(iid, object.PutVoid());
    } else {
        hr = CoCreateInstance(clsid, outer, context, iid, object.PutVoid());
    }
    if (SUCCEEDED(hr))
        instance = AutomationObject(std::move(object), iid);
    return hr;
}
