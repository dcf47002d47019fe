#pragma once

// How long the tuner waits for one call into another program (an Office
// application, the previous generation's tuner, another program's entry in
// the running-object table) before it gives the call up. A program whose
// thread no longer takes calls (hung, or stopped in a debugger) would
// otherwise hold the tuner's thread for ever: the progress window could not
// be closed, the server would answer nobody, and "-D" would never end. A call
// given up fails with RPC_E_CALL_CANCELED where it was made, and is handled
// there as that call's failure.

#include <windows.h>

inline constexpr DWORD kOutgoingCallBoundMs = 30000;

// The bound in force: kOutgoingCallBoundMs.
DWORD OutgoingCallBoundMs();
