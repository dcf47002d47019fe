#pragma once

// How much the tuner benchmarks do: the full sizes or the smoke run's.

#include <string>

struct TunerBenchSizes {
    int calls;         // per member, server and figure
    int warmRounds;    // C++ client; the fastest round counts
    int scriptRounds;  // script client; likewise
    int coldRounds;    // activations of each server; the fastest counts
};

inline constexpr TunerBenchSizes kFullSizes{1000, 5, 2, 5};
inline constexpr TunerBenchSizes kSmokeSizes{20, 1, 1, 1};

// 1000 as "1,000", for the figures' names.
inline std::string WithThousands(int value)
{
    const std::string digits = std::to_string(value);
    return value >= 1000 ? digits.substr(0, digits.size() - 3) + "," + digits.substr(digits.size() - 3)
                         : digits;
}
