#pragma once

// The COM server's message filter. While the tuner is busy it asks callers
// of the members that would start an operation (IQuillbarTuner's Enabled put
// and DoSetupDialog through the interface's own table) to retry later, as
// Office does; every other call is served. Calls through IDispatch::Invoke
// cannot be told apart here: those members refuse by themselves while busy.
// Our own calls into Office are never retried, as without a filter.

#include <objidl.h>

// What the filter answers for an incoming call while busy or not.
DWORD IncomingCallAnswer(const INTERFACEINFO* call, bool busy);

// The filter registered for the calling thread's apartment while this lives.
class BusyMessageFilterRegistration {
public:
    BusyMessageFilterRegistration();
    ~BusyMessageFilterRegistration();
    BusyMessageFilterRegistration(const BusyMessageFilterRegistration&) = delete;
    BusyMessageFilterRegistration& operator=(const BusyMessageFilterRegistration&) = delete;

    HRESULT Result() const { return result_; }

private:
    HRESULT result_;
    IMessageFilter* previous_ = nullptr;
};
