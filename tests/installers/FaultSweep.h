#pragma once

// Fault sweeps: an installer run is made once cleanly, then once more for
// every call of that run with exactly that call failing. Each faulty run must
// leave the journal its failure rules give, and no stand-in object behind.

#include "InstallerFixture.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

struct SweepRun {
    int result = 0;
    std::vector<standin::CallRecord> calls;
    long leaked = 0;
};

// The call made to fail, as a sweep tells a run about it.
struct FailedCall {
    int number = 0;         // 1-based, as Journal::FailCallNumber takes it
    std::size_t index = 0;  // in the clean run's journal
    std::string key;        // Object.Member
    bool tolerated = false;
};

class FaultSweep {
public:
    // A live host refusing the call. (A host whose process has gone answers
    // RPC_E_DISCONNECTED and the like, which the Excel walk passes by.)
    static constexpr HRESULT kFailure = E_FAIL;

    // A call whose failure the run goes on after; `skipped` is how many of
    // the clean run's calls right after it then do not happen.
    FaultSweep& Tolerate(const std::string& key, std::size_t skipped = 0);
    // The calls a run still makes after a failure ended it (its clean-up),
    // given the failed call's index in the clean run. None by default.
    FaultSweep& AfterFailure(std::function<std::vector<std::string>(std::size_t)> tail);

    // `run(failing)` makes a fresh world, fails the call `failing` names
    // (none when it is null), runs the installer and checks what else the
    // run should have left. Every run must return `result`, leak nothing
    // and leave the expected journal.
    void Run(const std::function<SweepRun(const FailedCall*)>& run, int result) const;

    // The journal a run should leave when the clean run's call at `failed` fails.
    std::vector<std::string> Expected(const std::vector<standin::CallRecord>& clean,
                                      std::size_t failed) const;

private:
    std::map<std::string, std::size_t> tolerated_;
    std::function<std::vector<std::string>(std::size_t)> tail_;
};

// The index of the first call of "Object.Member" in a journal (its size if none).
std::size_t IndexOf(const std::vector<standin::CallRecord>& calls, const std::string& key);

// The same fixture as a test uses, made afresh for every run of a sweep.
template <typename Fixture>
class FreshWorld : public Fixture {
public:
    using InstallerTest::journal_;
    using InstallerTest::CallText;
    using InstallerTest::LeakedObjects;

    // Runs the installer with the call `failing` names failing (none when null).
    SweepRun Install(int (*installer)(bool), bool enable, const FailedCall* failing)
    {
        if (failing)
            journal_->FailCallNumber(failing->number, FaultSweep::kFailure);
        SweepRun run;
        run.result = installer(enable);
        run.calls = journal_->Calls();
        run.leaked = LeakedObjects();
        return run;
    }

private:
    void TestBody() override {}
};

// The calls of a clean run in a fresh world that `arrange` sets up, for a
// sweep whose expectations depend on them.
template <typename Fixture, typename Arrange>
std::vector<standin::CallRecord> CleanRunCalls(const Arrange& arrange, int (*installer)(bool),
                                               bool enable)
{
    FreshWorld<Fixture> world;
    arrange(world);
    return world.Install(installer, enable, nullptr).calls;
}
