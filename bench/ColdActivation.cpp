#include "ColdActivation.h"

#include "BareTuner_h.h"
#include "BenchRow.h"
#include "ProgramRun.h"
#include "QBSetup_h.h"
#include "ServerProcess.h"
#include "TunerBenchPrefix.h"
#include "TunerClient.h"
#include "UniqueHandle.h"

#include <algorithm>

namespace {

// Milliseconds from starting the server as COM starts it until it waits for
// calls in its message loop (its class object registered); negative when it
// did not get there. The server is ended again before this returns.
double StartToServingMs(const char* image)
{
    const double start = bench::NowMs();
    const KernelHandle server =
        StartProgram("\"" + BinaryFolder() + image + "\" -Embedding");
    const bool serving = server && WaitForInputIdle(server.Get(), 30000) == 0;
    const double elapsed = bench::NowMs() - start;
    EndProcesses(image);
    return serving ? elapsed : -1;
}

// The fastest of each, rounds alternating between the two servers.
template <typename Measure>
bool Fastest(int rounds, Measure&& measure, double& ours, double& floor)
{
    for (int round = 0; round < rounds; ++round) {
        const double tuner = measure(true);
        const double bare = measure(false);
        if (tuner < 0 || bare < 0)
            return false;
        ours = round == 0 ? tuner : std::min(ours, tuner);
        floor = round == 0 ? bare : std::min(floor, bare);
    }
    return true;
}

}  // namespace

bool MeasureColdActivation(const TunerBenchSizes& sizes)
{
    const std::string rounds = "fastest of " + std::to_string(sizes.coldRounds) + " rounds";
    double ours = 0, floor = 0;
    const auto activate = [](bool tuner) {
        const double elapsed =
            tuner ? ColdActivationMs<IQuillbarTuner>(CLSID_QuillbarTuner, IID_IQuillbarTuner)
                  : ColdActivationMs<IBareTuner>(CLSID_BareTuner, IID_IBareTuner);
        EndProcesses(tuner ? kTunerImage : kBareImage);
        return elapsed;
    };
    if (!Fastest(sizes.coldRounds, activate, ours, floor))
        return false;
    bench::Print({"tuner cold activation to first Count, C++ client", ours, floor, "ms", "<= 1.20",
                  rounds + "; Wine's CoCreateInstance starts a server, then waits a whole "
                           "second before it looks for its class object"});

    const auto start = [](bool tuner) { return StartToServingMs(tuner ? kTunerImage : kBareImage); };
    if (!Fastest(sizes.coldRounds, start, ours, floor))
        return false;
    bench::Print({"tuner server start to serving (-Embedding, idle)", ours, floor, "ms", "<= 1.20",
                  rounds + "; the part of the activation the server's own start-up makes"});
    return true;
}
