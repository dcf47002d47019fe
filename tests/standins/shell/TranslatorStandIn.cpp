#include "TranslatorStandIn.h"

#include "ComObject.h"
#include "ComPtr.h"
#include "ExclusiveLock.h"
#include "TextConversion.h"

#include <ole2.h>

#include <atomic>
#include <fstream>
#include <mutex>

namespace {

const CLSID kTranslatorClass = {
    0xE9991BC0, 0xDF93, 0x11D3, {0xBE, 0xB3, 0x00, 0xE0, 0x29, 0x0C, 0xDC, 0x2F}};
const IID kApplicationInterface = {
    0xE9991BC1, 0xDF93, 0x11D3, {0xBE, 0xB3, 0x00, 0xE0, 0x29, 0x0C, 0xDC, 0x2F}};
const IID kFileOpenerInterface = {
    0xDB07AEB0, 0xDFAF, 0x11D3, {0xBE, 0xB3, 0x00, 0xE0, 0x29, 0x0C, 0xDC, 0x2F}};

// Slots counted from 0: IUnknown 0-2, IDispatch 3-6, own members from 7.
struct IStandInFileOpener : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Slot7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot8(BSTR path, long a, long b, BSTR c, long d,
                                            IUnknown** document) = 0;
};

struct IStandInApplication : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Slot7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot8(long value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot9(IStandInFileOpener** opener) = 0;
};

using Step = TranslatorStandIn::Step;

}  // namespace

struct TranslatorStandIn::State {
    Step failing = Step::None;
    std::string journalPath;
    std::atomic<long> liveObjects{0};
    std::atomic<bool> created{false};
    mutable ExclusiveLock lock;
    std::vector<std::string> calls;

    // Records the call; the failure to return when this step is to fail.
    HRESULT Note(Step step, const std::string& call)
    {
        {
            std::lock_guard<ExclusiveLock> guard(lock);
            calls.push_back(call);
            if (!journalPath.empty())
                std::ofstream(journalPath, std::ios::app | std::ios::binary) << call << "\n";
        }
        return step != Step::None && step == failing ? kFailure : S_OK;
    }
};

namespace {

using State = TranslatorStandIn::State;

// Counts itself among the server's live objects.
class Counted {
protected:
    explicit Counted(std::shared_ptr<State> state) : state_(std::move(state))
    {
        ++state_->liveObjects;
    }
    virtual ~Counted() { --state_->liveObjects; }

    std::shared_ptr<State> state_;
};

// IDispatch members nobody calls: the context menu binds by vtable.
template <typename Interface>
class WithoutDispatch : public Interface {
public:
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) override
    {
        return E_NOTIMPL;
    }
};

class Document : public IUnknown, Counted {
public:
    static const InterfaceEntry<Document> kInterfaces[];

protected:
    explicit Document(std::shared_ptr<State> state) : Counted(std::move(state)) {}
};
const InterfaceEntry<Document> Document::kInterfaces[] = {{nullptr, nullptr}};

class FileOpener : public WithoutDispatch<IStandInFileOpener>, Counted {
public:
    static const InterfaceEntry<FileOpener> kInterfaces[];

    STDMETHODIMP Slot7() override { return state_->Note(Step::None, "opener.7"); }
    STDMETHODIMP Slot8(BSTR path, long a, long b, BSTR c, long d, IUnknown** document) override
    {
        const std::wstring file = path ? std::wstring(path, SysStringLen(path)) : std::wstring();
        const std::string call = "opener.8(" + TranslatorStandIn::AsRecorded(file) + ", " +
                                 std::to_string(a) + ", " + std::to_string(b) + ", '" +
                                 ToNarrow(c) + "'" + (c ? "" : " (null)") + ", " +
                                 std::to_string(d) + ")";
        const HRESULT hr = state_->Note(Step::OpenFile, call);
        *document = SUCCEEDED(hr) ? new ComObject<Document>(nullptr, state_) : nullptr;
        return hr;
    }

protected:
    explicit FileOpener(std::shared_ptr<State> state) : Counted(std::move(state)) {}
};
const InterfaceEntry<FileOpener> FileOpener::kInterfaces[] = {
    {&IID_IDispatch, &CastTo<FileOpener, IStandInFileOpener>},
    {&kFileOpenerInterface, &CastTo<FileOpener, IStandInFileOpener>},
    {nullptr, nullptr},
};

// Written out rather than completed by ComObject: answering the application
// interface is a recorded step that can be made to fail.
class Application final : public WithoutDispatch<IStandInApplication>,
                          public IRunnableObject,
                          Counted {
public:
    explicit Application(std::shared_ptr<State> state) : Counted(std::move(state)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch))
            *out = static_cast<IStandInApplication*>(this);
        else if (IsEqualIID(iid, IID_IRunnableObject))
            *out = static_cast<IRunnableObject*>(this);
        else if (IsEqualIID(iid, kApplicationInterface) &&
                 SUCCEEDED(state_->Note(Step::QueryApplication, "query application")))
            *out = static_cast<IStandInApplication*>(this);
        if (!*out)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    STDMETHODIMP Slot7() override { return state_->Note(Step::None, "application.7"); }
    STDMETHODIMP Slot8(long value) override
    {
        return state_->Note(Step::Start, "application.8(" + std::to_string(value) + ")");
    }
    STDMETHODIMP Slot9(IStandInFileOpener** opener) override
    {
        const HRESULT hr = state_->Note(Step::GetFileOpener, "application.9");
        *opener = SUCCEEDED(hr) && state_->failing != Step::NullFileOpener
                      ? new ComObject<FileOpener>(nullptr, state_)
                      : nullptr;
        return hr;
    }

    // IRunnableObject: only Run matters to OleRun.
    STDMETHODIMP GetRunningClass(CLSID* clsid) override
    {
        *clsid = kTranslatorClass;
        return S_OK;
    }
    STDMETHODIMP Run(IBindCtx*) override { return state_->Note(Step::Run, "run"); }
    STDMETHODIMP_(BOOL) IsRunning() override { return TRUE; }
    STDMETHODIMP LockRunning(BOOL, BOOL) override { return S_OK; }
    STDMETHODIMP SetContainedObject(BOOL) override { return S_OK; }

private:
    std::atomic<ULONG> references_{1};
};

class ClassObject : public IClassFactory {
public:
    static const InterfaceEntry<ClassObject> kInterfaces[];

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        *out = nullptr;
        state_->created = true;
        const HRESULT hr = state_->Note(Step::Create, "create");
        if (FAILED(hr))
            return hr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        ComPtr<IUnknown> application(static_cast<IStandInApplication*>(new Application(state_)));
        return application->QueryInterface(iid, out);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

protected:
    explicit ClassObject(std::shared_ptr<State> state) : state_(std::move(state)) {}

private:
    std::shared_ptr<State> state_;
};
const InterfaceEntry<ClassObject> ClassObject::kInterfaces[] = {
    {&IID_IClassFactory, &CastTo<ClassObject, IClassFactory>},
    {nullptr, nullptr},
};

}  // namespace

TranslatorStandIn::TranslatorStandIn(Step failing, DWORD context, const std::string& journalPath)
    : state_(std::make_shared<State>())
{
    state_->failing = failing;
    state_->journalPath = journalPath;
    ComPtr<IClassFactory> classObject(new ComObject<ClassObject>(nullptr, state_));
    CoRegisterClassObject(kTranslatorClass, classObject.Get(), context, REGCLS_MULTIPLEUSE,
                          &cookie_);
}

TranslatorStandIn::~TranslatorStandIn()
{
    if (cookie_)
        CoRevokeClassObject(cookie_);
}

std::vector<std::string> TranslatorStandIn::Calls() const
{
    std::lock_guard<ExclusiveLock> guard(state_->lock);
    return state_->calls;
}

long TranslatorStandIn::LiveObjects() const
{
    return state_->liveObjects;
}

// UTF-8, so that every name shows as it was sent.
std::string TranslatorStandIn::AsRecorded(const std::wstring& path)
{
    return ToUtf8(path);
}

bool TranslatorStandIn::Created() const
{
    return state_->created;
}
