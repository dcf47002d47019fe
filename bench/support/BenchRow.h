#pragma once

// What every benchmark program prints: one line per figure, which bench/run
// gathers into its table. Times are never compared with a fixed number, only
// with a floor measured in the same run.

#include <windows.h>

#include <string>

namespace bench {

struct Row {
    std::string figure;  // what is measured, e.g. "Count, C++ client, 1,000 calls"
    double ours = 0;
    double floor = 0;
    std::string unit;    // of ours and floor: "ms", "calls", "bytes", ...
    std::string goal;    // e.g. "<= 1.20"; empty when the row only reports
    std::string note;    // why a ratio is what it is, where that needs saying
};

// "ROW<TAB>figure<TAB>ours<TAB>floor<TAB>unit<TAB>ratio<TAB>goal<TAB>note" on
// standard output, flushed at once (a later figure may hang or crash).
void Print(const Row& row);

// --smoke: the smallest sizes and fewest rounds, so that the test command
// runs every benchmark in a few seconds and they never rot.
bool IsSmoke(int argc, char** argv);

// Milliseconds since an arbitrary start, from the performance counter.
double NowMs();

// The fastest of `rounds` runs of `work`, in milliseconds: on a noisy machine
// the minimum is the figure closest to the work's own cost.
template <typename Work>
double FastestMs(int rounds, Work&& work) {
    double best = 0;
    for (int round = 0; round < rounds; ++round) {
        const double start = NowMs();
        work();
        const double elapsed = NowMs() - start;
        if (round == 0 || elapsed < best) best = elapsed;
    }
    return best;
}

}  // namespace bench
