#include "BenchRow.h"

#include <cstdio>
#include <cstring>

namespace bench {

void Print(const Row& row) {
    char ratio[32] = "-";
    if (row.floor > 0) std::snprintf(ratio, sizeof ratio, "%.2f", row.ours / row.floor);
    std::printf("ROW\t%s\t%.6g\t%.6g\t%s\t%s\t%s\t%s\n", row.figure.c_str(), row.ours,
                row.floor, row.unit.c_str(), ratio, row.goal.c_str(), row.note.c_str());
    std::fflush(stdout);
}

bool IsSmoke(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--smoke") == 0) return true;
    }
    return false;
}

double NowMs() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / frequency;
}

}  // namespace bench
