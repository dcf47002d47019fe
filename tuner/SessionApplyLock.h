#pragma once

// One apply at a time in the user's logon session, across processes: a
// setup dialog's apply, a client's Enabled put and "-D" each hold this named
// mutex while they switch hosts, so that two tuners never drive the same
// Office at once. It is taken without waiting; an operation that finds it
// held gets the same busy answer as one that finds another operation running
// in its own process. (Inside a process, busy::Operation keeps the order.)

#include "UniqueHandle.h"

#include <windows.h>

class SessionApplyLock {
public:
    // Takes the lock if no other process holds it.
    SessionApplyLock();
    ~SessionApplyLock();
    SessionApplyLock(const SessionApplyLock&) = delete;
    SessionApplyLock& operator=(const SessionApplyLock&) = delete;

    // False only when another process applies now. A mutex that cannot be
    // had at all (its name taken by an object of another kind, or no
    // resources) keeps nobody from applying.
    bool Taken() const { return !busy_; }

private:
    KernelHandle mutex_;
    bool owned_ = false;
    bool busy_ = false;
};

// The mutex's name, in the session's own namespace.
inline constexpr char kSessionApplyLockName[] = "Local\\Quillbar.Tuner.Apply";
