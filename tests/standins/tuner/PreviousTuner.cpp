#include "PreviousTuner.h"

#include "AddinContract.h"
#include "QBSetup_h.h"

#include <atomic>
#include <memory>

namespace {

class PreviousTuner : public IQuillbarTuner {
public:
    PreviousTuner(std::shared_ptr<PreviousTunerClass::Calls> calls, long count, HRESULT countResult)
        : calls_(std::move(calls)), count_(count), countResult_(countResult)
    {
    }
    virtual ~PreviousTuner() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == addin::IID_PreviousTuner) {
            *object = static_cast<IQuillbarTuner*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (!left)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                     EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_Count(long* value) override
    {
        ++calls_->countCalls;
        *value = count_;
        return countResult_;
    }
    HRESULT STDMETHODCALLTYPE get_Name(long, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Enabled(long, long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_Enabled(long index, long value) override
    {
        calls_->enabledPuts.emplace_back(index, value);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DoSetupDialog() override { return E_NOTIMPL; }

private:
    std::atomic<ULONG> references_{1};
    std::shared_ptr<PreviousTunerClass::Calls> calls_;
    long count_;
    HRESULT countResult_;
};

class Factory : public IClassFactory {
public:
    Factory(std::shared_ptr<PreviousTunerClass::Calls> calls, long count, HRESULT countResult)
        : calls_(std::move(calls)), count_(count), countResult_(countResult)
    {
    }
    virtual ~Factory() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (!left)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        const ComPtr<IQuillbarTuner> tuner =
            ComPtr<IQuillbarTuner>(new PreviousTuner(calls_, count_, countResult_));
        return tuner->QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    std::atomic<ULONG> references_{1};
    std::shared_ptr<PreviousTunerClass::Calls> calls_;
    long count_;
    HRESULT countResult_;
};

}  // namespace

PreviousTunerClass::PreviousTunerClass(long count, HRESULT countResult)
    : calls_(std::make_shared<Calls>())
{
    const auto factory = ComPtr<IClassFactory>(new Factory(calls_, count, countResult));
    result_ = CoRegisterClassObject(addin::CLSID_PreviousTuner, factory.Get(), CLSCTX_LOCAL_SERVER,
                                    REGCLS_MULTIPLEUSE, &cookie_);
}

PreviousTunerClass::~PreviousTunerClass()
{
    if (cookie_)
        CoRevokeClassObject(cookie_);
}
