#pragma once

// Work that may wait on another program for ever (a call into a program whose
// thread no longer answers: a hung or debugger-stopped application) runs on a
// thread of its own, so that whoever needs it waits at most a bound.

#include <windows.h>

#include <functional>

enum class BoundedOutcome {
    Finished,      // the work ended within the limit
    StillRunning,  // it did not: it is left to end by itself, or with the process
    NotStarted,    // no thread could be had; the work did not run
};

// Runs `work` on a new thread, in a single-threaded apartment of its own, and
// waits at most `limitMs` for its end. A caller in a single-threaded
// apartment goes on handling its messages meanwhile (calls into its apartment
// among them), as it does while one of its own calls waits. Work left running
// must own all it uses (capture by value or shared), since its caller goes on
// without it; it keeps COM initialised on its thread until it ends, and the
// process must not wait for it (it ends with the process at the latest).
// Each work has an apartment of its own so that work left running shares
// nothing with the work after it: in a shared apartment a second look-up of
// the same remote object would share the first one's proxy while that one
// still waits, and fail or crash with it once it gives up (seen under Wine).
BoundedOutcome RunBounded(DWORD limitMs, std::function<void()> work);
