#include "BoundedWork.h"

#include "ComObject.h"
#include "Event.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Notes on which thread its caller was served.
class ThreadWitness : public IDispatch {
public:
    static const InterfaceEntry<ThreadWitness> kInterfaces[];
    virtual ~ThreadWitness() = default;

    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        servedOn = GetCurrentThreadId();
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) override
    {
        return E_NOTIMPL;
    }

    DWORD servedOn = 0;
};

const InterfaceEntry<ThreadWitness> ThreadWitness::kInterfaces[] = {
    {&IID_IDispatch, CastTo<ThreadWitness, IDispatch>},
    {nullptr, nullptr},
};

TEST(BoundedWork, WorkThatEndsInTimeRanInASingleThreadedApartmentOfItsOwnThread)
{
    DWORD thread = 0;
    HRESULT initialisedAgain = S_OK;
    EXPECT_EQ(RunBounded(60000,
                         [&] {
                             thread = GetCurrentThreadId();
                             initialisedAgain = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
                             CoUninitialize();
                         }),
              BoundedOutcome::Finished);
    EXPECT_NE(thread, 0u);
    EXPECT_NE(thread, GetCurrentThreadId());
    EXPECT_EQ(initialisedAgain, S_FALSE) << "the thread has its apartment already";
}

// The caller goes on at the limit; the work ends later by itself, with what
// it shares still alive.
TEST(BoundedWork, WorkThatDoesNotEndInTimeIsLeftRunning)
{
    const auto go = std::make_shared<Event>(Event::Reset::Manual);
    const auto ended = std::make_shared<Event>(Event::Reset::Manual);
    const DWORD start = GetTickCount();
    EXPECT_EQ(RunBounded(300,
                         [go, ended] {
                             go->Wait(INFINITE);
                             ended->Set();
                         }),
              BoundedOutcome::StillRunning);
    EXPECT_GE(GetTickCount() - start, 250u);
    EXPECT_FALSE(ended->Wait(0));
    go->Set();
    EXPECT_TRUE(ended->Wait(60000));
}

// A call from the work into the waiting caller's apartment is served there,
// during the wait.
TEST(BoundedWork, ACallerInASingleThreadedApartmentServesCallsIntoItMeanwhile)
{
    auto* object = new ComObject<ThreadWitness>(nullptr);
    ComPtr<IUnknown> inner(object->Inner());
    ComPtr<IDispatch> witness;
    ASSERT_EQ(inner.As(IID_IDispatch, witness), S_OK);
    IStream* stream = nullptr;
    ASSERT_EQ(CoMarshalInterThreadInterfaceInStream(IID_IDispatch, witness.Get(), &stream), S_OK);

    HRESULT called = E_FAIL;
    EXPECT_EQ(RunBounded(60000,
                         [&] {
                             ComPtr<IDispatch> remote;
                             if (FAILED(CoGetInterfaceAndReleaseStream(stream, IID_IDispatch,
                                                                       remote.PutVoid())))
                                 return;
                             UINT count = 1;
                             called = remote->GetTypeInfoCount(&count);
                         }),
              BoundedOutcome::Finished);
    EXPECT_EQ(called, S_OK);
    EXPECT_EQ(object->servedOn, GetCurrentThreadId());
}

}  // namespace
