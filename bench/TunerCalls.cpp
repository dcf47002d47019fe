// bench_tuner_calls: what QuillbarTuner's warm calls (from a C++ and a script
// client), its cold activation and its memory over many calls cost, each
// against a bare local server of the same shape (bare_tuner_server.exe)
// measured in the same run.

#include "BareTuner_h.h"
#include "BenchRow.h"
#include "ColdActivation.h"
#include "QBSetup_h.h"
#include "ScriptClient.h"
#include "ServerMemory.h"
#include "TunerBenchPrefix.h"
#include "TunerBenchSizes.h"
#include "TunerClient.h"
#include "WarmCalls.h"

#include <objbase.h>

#include <cstddef>
#include <cstdio>
#include <string>

namespace {

int Fail(const std::string& what)
{
    std::printf("ERROR: %s\n", what.c_str());
    std::fflush(stdout);
    return 1;
}

// In kilobytes, which the table prints in full.
double Kilobytes(std::size_t bytes)
{
    return static_cast<double>(bytes) / 1024;
}

double BytesPerCall(std::size_t before, std::size_t after, int calls)
{
    return (static_cast<double>(after) - static_cast<double>(before)) / calls;
}

// Under Wine a process's private bytes grow by whole thread stacks (about
// 4 MB each) whenever Wine's RPC worker pool takes on a thread, in either
// server, so the notes give the thread counts beside the bytes; the second
// figure shows what the calls themselves leave once the pool has settled.
void PrintMemory(const ServerMemory& tuner, const ServerMemory& bare)
{
    const std::string calls = WithThousands(tuner.calls);
    char note[320];
    std::snprintf(note, sizeof note,
                  "right after start vs after %s calls (Count, Name, Enabled): %+.0f bytes a "
                  "call; threads %d -> %d (each one Wine's RPC pool adds is ~4 MB of stack); "
                  "bare server %+.0f bytes a call, threads %d -> %d",
                  calls.c_str(), BytesPerCall(tuner.atStart, tuner.afterCalls, tuner.calls),
                  tuner.threadsAtStart, tuner.threadsAfterCalls,
                  BytesPerCall(bare.atStart, bare.afterCalls, bare.calls), bare.threadsAtStart,
                  bare.threadsAfterCalls);
    bench::Print({"tuner server private bytes after " + calls + " calls",
                  Kilobytes(tuner.afterCalls), Kilobytes(tuner.atStart), "KB", "<= 1.05", note});
    std::snprintf(note, sizeof note,
                  "after %s calls more vs after the first %s: %+.0f bytes a call; threads %d -> "
                  "%d; bare server %+.0f bytes a call",
                  calls.c_str(), calls.c_str(),
                  BytesPerCall(tuner.afterCalls, tuner.afterMoreCalls, tuner.calls),
                  tuner.threadsAfterCalls, tuner.threadsAfterMoreCalls,
                  BytesPerCall(bare.afterCalls, bare.afterMoreCalls, bare.calls));
    bench::Print({"tuner server private bytes, " + calls + " calls more",
                  Kilobytes(tuner.afterMoreCalls), Kilobytes(tuner.afterCalls), "KB", "<= 1.05",
                  note});
    bench::Print({"tuner server private bytes vs bare server's, same calls",
                  Kilobytes(tuner.afterMoreCalls), Kilobytes(bare.afterMoreCalls), "KB", "",
                  "both after " + WithThousands(2 * tuner.calls) + " calls"});
}

bool MeasureScriptCalls(const TunerBenchSizes& sizes, std::string& error)
{
    const auto times = TimeScriptCalls("QBSetup.QuillbarTuner", "Bench.BareTuner", sizes.calls,
                                       sizes.scriptRounds, error);
    if (!times)
        return false;
    for (TunerMember member : {TunerMember::Count, TunerMember::Name, TunerMember::Enabled}) {
        const int slot = static_cast<int>(member);
        bench::Print({std::string("tuner ") + MemberName(member) + " get, JScript client, " +
                          WithThousands(sizes.calls) + " calls",
                      times->ours[slot], times->floor[slot], "ms", "<= 1.20",
                      "fastest of " + std::to_string(sizes.scriptRounds) +
                          " rounds, script's clock; through IDispatch"});
    }
    return true;
}

int Run(const TunerBenchSizes& sizes)
{
    const TunerBenchPrefix prefix;
    if (!prefix.Ready())
        return Fail(prefix.Error());
    if (!MeasureColdActivation(sizes))
        return Fail("cold activation: a server did not start or answer");

    // From here on both servers stay up, held by these objects.
    const ComPtr<IQuillbarTuner> tuner =
        CreateTuner<IQuillbarTuner>(CLSID_QuillbarTuner, IID_IQuillbarTuner);
    const ComPtr<IBareTuner> bare = CreateTuner<IBareTuner>(CLSID_BareTuner, IID_IBareTuner);
    long hosts = 0, bareHosts = 0;
    if (!tuner || !bare || FAILED(tuner->get_Count(&hosts)) || FAILED(bare->get_Count(&bareHosts)))
        return Fail("a server did not start");
    if (hosts != kInstalledHosts)
        return Fail("the tuner lists " + std::to_string(hosts) + " hosts, not " +
                    std::to_string(kInstalledHosts));

    ServerMemory tunerMemory, bareMemory;
    if (!MeasureServerMemory(tuner.Get(), kTunerImage, sizes, tunerMemory) ||
        !MeasureServerMemory(bare.Get(), kBareImage, sizes, bareMemory))
        return Fail("memory: a call failed or a server's process was not found");
    PrintMemory(tunerMemory, bareMemory);

    if (!MeasureWarmCalls(tuner.Get(), bare.Get(), sizes))
        return Fail("warm calls: a call failed");
    std::string error;
    if (!MeasureScriptCalls(sizes, error))
        return Fail(error);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return Fail("COM did not initialise");
    const int result = Run(bench::IsSmoke(argc, argv) ? kSmokeSizes : kFullSizes);
    CoUninitialize();
    return result;
}
