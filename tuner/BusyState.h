#pragma once

// The tuner does one thing at a time on its thread: an installer run, an
// apply or a dialog. Each of them waits on other processes or runs modal
// loops, and while it does, the thread is handed other clients' COM calls, a
// second OK, the registered message. Whatever would start an operation asks
// this state first and refuses while another one runs.

#include <windows.h>

namespace busy {

// What a COM member that would start an operation answers while another
// runs: what COM itself answers a call the server rejected.
inline constexpr HRESULT kRefused = RPC_E_CALL_REJECTED;

// Whether an operation runs on the calling thread.
bool IsBusy();

// Holds the calling thread's busy state for its lifetime, if it was free.
class Operation {
public:
    Operation();
    ~Operation();
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

    // False when another operation was running: this one must not start.
    bool Started() const { return started_; }

private:
    bool started_;
};

}  // namespace busy
