#pragma once

#include <windows.h>

// A lock that cannot fail: taking it never allocates and never throws, so it
// may guard code on a COM boundary or in DllMain (std::mutex may need memory
// at its first use and then throws). Not recursive. Its lower-case members
// make it usable with std::lock_guard.
class ExclusiveLock {
public:
    ExclusiveLock() = default;
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

    void lock() noexcept { AcquireSRWLockExclusive(&lock_); }
    void unlock() noexcept { ReleaseSRWLockExclusive(&lock_); }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
};
