#pragma once

#include <windows.h>

// A lock that cannot fail once it is set up: taking it never allocates and
// never throws, so it may guard code on a COM boundary or in DllMain. A
// critical section whose wait event is allocated up front (Windows XP and
// Server 2003 would otherwise allocate it at the first contention, and raise
// when they cannot); setting it up is what may fail, and an object that owns
// one fails its creation then (Ready). Recursive on its own thread, though
// nothing of ours takes it twice. Its lower-case members make it usable with
// std::lock_guard and std::unique_lock.
class ExclusiveLock {
public:
    ExclusiveLock() noexcept
        : ready_(InitializeCriticalSectionAndSpinCount(&section_, kPreallocateEvent) != FALSE)
    {
    }
    ~ExclusiveLock()
    {
        if (ready_)
            DeleteCriticalSection(&section_);
    }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

    // False when the section could not be set up (no memory): the lock must
    // not be used, and its owner reports E_OUTOFMEMORY.
    bool Ready() const noexcept { return ready_; }

    void lock() noexcept
    {
        if (ready_)
            EnterCriticalSection(&section_);
    }
    void unlock() noexcept
    {
        if (ready_)
            LeaveCriticalSection(&section_);
    }

private:
    // The high bit of the spin count: allocate the wait event now (ignored
    // from Windows Vista on, which never needs it).
    static constexpr DWORD kPreallocateEvent = 0x80000000;

    CRITICAL_SECTION section_;
    bool ready_;
};
