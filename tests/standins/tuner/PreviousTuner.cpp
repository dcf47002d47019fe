#include "PreviousTuner.h"

#include "AddinContract.h"
#include "ComObject.h"
#include "QBSetup_h.h"
#include "StandInRegistration.h"

#include <memory>

namespace {

class PreviousTuner : public IQuillbarTuner {
public:
    static const InterfaceEntry<PreviousTuner> kInterfaces[];

    PreviousTuner(std::shared_ptr<PreviousTunerClass::Calls> calls, long count, HRESULT countResult)
        : calls_(std::move(calls)), count_(count), countResult_(countResult)
    {
    }
    virtual ~PreviousTuner() = default;

    // Only the vtable members are used; dispatch stays unanswered.
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
    std::shared_ptr<PreviousTunerClass::Calls> calls_;
    long count_;
    HRESULT countResult_;
};

const InterfaceEntry<PreviousTuner> PreviousTuner::kInterfaces[] = {
    {&IID_IDispatch, CastTo<PreviousTuner, IDispatch>},
    {&addin::IID_PreviousTuner, CastTo<PreviousTuner, IQuillbarTuner>},
    {nullptr, nullptr},
};

}  // namespace

PreviousTunerClass::PreviousTunerClass(long count, HRESULT countResult)
    : calls_(std::make_shared<Calls>())
{
    const auto factory = standin::NewClassFactory(
        [calls = calls_, count, countResult](REFIID iid, void** object) {
            ComPtr<IUnknown> tuner(
                (new ComObject<PreviousTuner>(nullptr, calls, count, countResult))->Inner());
            return tuner->QueryInterface(iid, object);
        });
    result_ = CoRegisterClassObject(addin::CLSID_PreviousTuner, factory.Get(), CLSCTX_LOCAL_SERVER,
                                    REGCLS_MULTIPLEUSE, &cookie_);
}

PreviousTunerClass::~PreviousTunerClass()
{
    if (cookie_)
        CoRevokeClassObject(cookie_);
}
