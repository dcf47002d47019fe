#pragma once

// The tuner's message filter, on its main thread in every mode.
//
// Incoming calls: while the tuner is busy it asks callers of the members that
// would start an operation (IQuillbarTuner's Enabled put and DoSetupDialog
// through the interface's own table) to retry later, as Office does; every
// other call is served. Calls through IDispatch::Invoke cannot be told apart
// here: those members refuse by themselves while busy.
//
// Outgoing calls: one that has waited for the outgoing-call bound is given up
// (it fails with RPC_E_CALL_CANCELED). COM asks the filter whenever a message
// arrives while a call waits; so that one does, a ticker posts the thread a
// WM_NULL every second while the filter is registered. A call that a host
// refused is never retried, as without a filter.

#include "Event.h"
#include "Thread.h"

#include <objidl.h>

// What the filter answers for an incoming call while busy or not.
DWORD IncomingCallAnswer(const INTERFACEINFO* call, bool busy);

// What it answers for an outgoing call that has waited `waitedMs` so far.
DWORD PendingCallAnswer(DWORD waitedMs);

// How often the ticker wakes a waiting call.
inline constexpr DWORD kTickIntervalMs = 1000;

// The filter registered for the calling thread's apartment while this lives,
// with its ticker.
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
    Event stopTicking_{Event::Reset::Manual};
    Thread ticker_;
};
