#include "WarmCalls.h"

#include "BenchRow.h"
#include "QuillbarTuner.h"
#include "TunerBenchPrefix.h"
#include "TunerClient.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr TunerMember kMembers[] = {TunerMember::Count, TunerMember::Name, TunerMember::Enabled};

// A round's calls of a member go in batches that alternate between the two
// servers, and which of them goes first, so that both see the same load of
// the machine.
constexpr int kBatches = 20;

// What the member itself costs, without COM in between: microseconds a call
// on an object in this process (which reads the same registry).
double OwnWorkMicroseconds(TunerMember member, int calls)
{
    const ComPtr<IClassFactory> factory = NewQuillbarTunerFactory();
    ComPtr<IQuillbarTuner> tuner;
    if (!factory ||
        FAILED(factory->CreateInstance(nullptr, IID_IQuillbarTuner, tuner.PutVoid())))
        return -1;
    CallRepeatedly(tuner.Get(), member, 20, kInstalledHosts);
    const double elapsed =
        bench::FastestMs(3, [&] { CallRepeatedly(tuner.Get(), member, calls, kInstalledHosts); });
    return elapsed * 1000 / calls;
}

}  // namespace

bool MeasureWarmCalls(IQuillbarTuner* tuner, IBareTuner* bare, const TunerBenchSizes& sizes)
{
    const int batch = std::max(1, sizes.calls / kBatches);
    double ours[3] = {}, floor[3] = {};
    for (int round = 0; round < sizes.warmRounds; ++round) {
        for (TunerMember member : kMembers) {
            int failed = 0;
            double a = 0, b = 0;
            const auto timeOurs = [&] {
                const double start = bench::NowMs();
                failed += CallRepeatedly(tuner, member, batch, kInstalledHosts);
                a += bench::NowMs() - start;
            };
            const auto timeFloor = [&] {
                const double start = bench::NowMs();
                failed += CallRepeatedly(bare, member, batch, kInstalledHosts);
                b += bench::NowMs() - start;
            };
            for (int done = 0, turn = 0; done < sizes.calls; done += batch, ++turn) {
                if (turn % 2) {
                    timeOurs();
                    timeFloor();
                } else {
                    timeFloor();
                    timeOurs();
                }
            }
            if (failed)
                return false;
            const int slot = static_cast<int>(member);
            ours[slot] = round == 0 ? a : std::min(ours[slot], a);
            floor[slot] = round == 0 ? b : std::min(floor[slot], b);
        }
    }
    for (TunerMember member : kMembers) {
        const int slot = static_cast<int>(member);
        char note[160];
        std::snprintf(note, sizeof note,
                      "fastest of %d rounds; %.0f us a call, of which the member's own work "
                      "(in-process) %.1f us",
                      sizes.warmRounds, ours[slot] * 1000 / sizes.calls,
                      OwnWorkMicroseconds(member, sizes.calls));
        bench::Print({std::string("tuner ") + MemberName(member) + " get, C++ client, " +
                          WithThousands(sizes.calls) + " calls",
                      ours[slot], floor[slot], "ms", "<= 1.20", note});
    }
    return true;
}
