#pragma once

// A host's add-in semaphore looked at from outside: opened for querying only,
// its counts read without taking one.

#include <string>

struct SemaphoreState {
    enum class Kind {
        Absent,      // no add-in of the host is running
        Present,     // counts known
        Unreadable,  // it exists, but its counts cannot be read
    };
    Kind kind = Kind::Absent;
    long free = 0;     // counts available now
    long maximum = 0;
    unsigned long error = 0;  // for Unreadable
};

// "Quillbar.Global.Semaphore.<officeKey>".
SemaphoreState ReadSemaphoreState(const std::string& name);
