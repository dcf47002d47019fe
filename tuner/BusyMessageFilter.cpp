#include "BusyMessageFilter.h"

#include "BusyState.h"
#include "ComObject.h"
#include "ComPtr.h"
#include "OutgoingCallBound.h"
#include "QBSetup_h.h"
#include "ServerModule.h"

namespace {

// IQuillbarTuner's table: IUnknown (0-2), IDispatch (3-6), then its members.
constexpr WORD kEnabledPut = 10;
constexpr WORD kDoSetupDialog = 11;

constexpr DWORD kNeverRetry = static_cast<DWORD>(-1);

class BusyMessageFilter : public IMessageFilter {
public:
    static const InterfaceEntry<BusyMessageFilter> kInterfaces[];
    virtual ~BusyMessageFilter() = default;

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD,
                                               LPINTERFACEINFO call) override
    {
        server::OnIncomingCall();
        return IncomingCallAnswer(call, busy::IsBusy());
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override
    {
        return kNeverRetry;  // a host that refuses a call ends that run
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD waited, DWORD) override
    {
        return PendingCallAnswer(waited);
    }
};

const InterfaceEntry<BusyMessageFilter> BusyMessageFilter::kInterfaces[] = {
    {&IID_IMessageFilter, CastTo<BusyMessageFilter, IMessageFilter>},
    {nullptr, nullptr},
};

}  // namespace

DWORD IncomingCallAnswer(const INTERFACEINFO* call, bool busy)
{
    if (!busy || !call || !IsEqualIID(call->iid, IID_IQuillbarTuner))
        return SERVERCALL_ISHANDLED;
    return call->wMethod == kEnabledPut || call->wMethod == kDoSetupDialog
               ? SERVERCALL_RETRYLATER
               : SERVERCALL_ISHANDLED;
}

DWORD PendingCallAnswer(DWORD waitedMs)
{
    return waitedMs >= OutgoingCallBoundMs() ? PENDINGMSG_CANCELCALL : PENDINGMSG_WAITDEFPROCESS;
}

BusyMessageFilterRegistration::BusyMessageFilterRegistration()
{
    auto* object = new (std::nothrow) ComObject<BusyMessageFilter>(nullptr);
    if (!object) {
        result_ = E_OUTOFMEMORY;
        return;
    }
    ComPtr<IUnknown> inner(object->Inner());
    ComPtr<IMessageFilter> filter;
    result_ = inner.As(IID_IMessageFilter, filter);
    if (SUCCEEDED(result_))
        result_ = CoRegisterMessageFilter(filter.Get(), &previous_);
    // Without a ticker (no event, no thread) calls are still given up when
    // some other message comes.
    if (SUCCEEDED(result_) && stopTicking_.Ready()) {
        const DWORD filtered = GetCurrentThreadId();
        const HANDLE stop = stopTicking_.Get();
        ticker_.Start([filtered, stop] {
            while (WaitForSingleObject(stop, kTickIntervalMs) == WAIT_TIMEOUT)
                PostThreadMessageA(filtered, WM_NULL, 0, 0);
        });
    }
}

BusyMessageFilterRegistration::~BusyMessageFilterRegistration()
{
    stopTicking_.Set();
    ticker_.Join();
    if (FAILED(result_))
        return;
    IMessageFilter* ours = nullptr;
    CoRegisterMessageFilter(previous_, &ours);
    if (ours)
        ours->Release();
    if (previous_)
        previous_->Release();
}
