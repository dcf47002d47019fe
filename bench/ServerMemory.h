#pragma once

// Private bytes of a tuner-shaped server process right after it started
// (its first Count answered) and after many calls of each member.

#include "TunerBenchSizes.h"

#include <windows.h>

#include <cstddef>

struct ServerMemory {
    std::size_t atStart = 0;
    std::size_t afterCalls = 0;
    int threadsAtStart = 0;
    int threadsAfterCalls = 0;
    std::size_t afterMoreCalls = 0;  // as many calls again
    int threadsAfterMoreCalls = 0;
    int calls = 0;  // all members together, each time
};

// The threads a process runs now.
int ThreadsOf(DWORD processId);

// Makes `sizes.calls` calls of each member on a fresh server's object, and
// then as many again, measuring the process (found by its image name) before,
// between and after.
template <typename Tuner>
bool MeasureServerMemory(Tuner* tuner, const char* image, const TunerBenchSizes& sizes,
                         ServerMemory& memory);
