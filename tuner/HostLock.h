#pragma once

// The cross-process lock between the tuner and a host's add-in: a named
// semaphore of 100 counts that the add-in creates and holds counts of while
// it is busy. Before switching an add-in off the tuner takes all counts,
// waiting in the "Achtung!" dialog while some are held.

#include <windows.h>

#include <string>

class HostLock {
public:
    enum class State {
        Held,     // all counts are ours through the handle
        NoLock,   // the host has no semaphore (any more): nothing to wait for
        GivenUp,  // the user stopped waiting; nothing is held
    };

    static HostLock NoLock() { return HostLock(State::NoLock, nullptr); }
    static HostLock GivenUp() { return HostLock(State::GivenUp, nullptr); }
    static HostLock Held(HANDLE semaphore) { return HostLock(State::Held, semaphore); }

    HostLock(HostLock&& other) noexcept;
    HostLock& operator=(HostLock&& other) noexcept;
    HostLock(const HostLock&) = delete;
    HostLock& operator=(const HostLock&) = delete;
    // A lock still held when its owner goes gives its counts back: a host is
    // never left locked.
    ~HostLock();

    State state() const { return state_; }
    HANDLE semaphore() const { return semaphore_; }

private:
    friend void ReleaseHostLock(HostLock& lock);
    HostLock(State state, HANDLE semaphore) : state_(state), semaphore_(semaphore) {}

    State state_;
    HANDLE semaphore_;
};

// Opens "Quillbar.Global.Semaphore.<shortName>" (never creates it) and takes
// all its counts, showing the busy-wait dialog for the display name while
// some are held. A semaphore that is there but refuses access (one made by an
// Office with other rights) counts as held: the dialog waits until it opens,
// or goes with its add-in. A name that no semaphore holds (nothing, or an
// object of another kind) means no lock.
HostLock AcquireHostLock(const std::string& shortName, const std::string& displayName);

// Gives a held lock's counts back and closes it; other locks are left as they are.
void ReleaseHostLock(HostLock& lock);

// The busy-wait dialog: takes up to `remaining` counts every 500 ms until it
// has them all or the user cancels. Returns how many it took. It has no
// owner (the window in front may be a busy host's); it is shown on top of
// every window without taking the focus from the one the user works in.
LONG WaitForHostIdle(HANDLE semaphore, LONG remaining, const std::string& displayName);
