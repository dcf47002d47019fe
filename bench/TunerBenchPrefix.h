#pragma once

// What the tuner benchmarks arrange in the prefix they run in, and take away
// again when they end: an Office XP installation of all five hosts with the
// Word and Excel add-ins switched on (so that QuillbarTuner answers with real
// data), qbsetup.exe registered as its server, and the bare server of the
// same shape registered beside it. No server of either kind runs before or
// after, and the keys it created go again (those that were there stay).

#include <windows.h>

#include <string>
#include <vector>

class TunerBenchPrefix {
public:
    TunerBenchPrefix();
    ~TunerBenchPrefix();
    TunerBenchPrefix(const TunerBenchPrefix&) = delete;
    TunerBenchPrefix& operator=(const TunerBenchPrefix&) = delete;

    // Whether both servers registered; the failure's text when not.
    bool Ready() const { return error_.empty(); }
    const std::string& Error() const { return error_; }

    // A registry key in a view (0: this program's own).
    struct Key {
        HKEY root;
        std::string path;
        REGSAM view;
    };

private:
    std::string error_;
    std::vector<Key> created_;  // parents first; deleted with their subtrees

};

// The images of the two servers, as the process list names them.
inline constexpr char kTunerImage[] = "qbsetup.exe";
inline constexpr char kBareImage[] = "bare_tuner_server.exe";

// The fixed host list QuillbarTuner reports in that prefix.
inline constexpr long kInstalledHosts = 5;
