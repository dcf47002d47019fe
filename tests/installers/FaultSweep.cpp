#include "FaultSweep.h"

FaultSweep& FaultSweep::Tolerate(const std::string& key, std::size_t skipped)
{
    tolerated_[key] = skipped;
    return *this;
}

FaultSweep& FaultSweep::AfterFailure(std::function<std::vector<std::string>(std::size_t)> tail)
{
    tail_ = std::move(tail);
    return *this;
}

std::vector<std::string> FaultSweep::Expected(const std::vector<standin::CallRecord>& clean,
                                              std::size_t failed) const
{
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < failed; ++i)
        expected.push_back(clean[i].ToString());
    standin::CallRecord failing = clean[failed];
    failing.result = kFailure;
    expected.push_back(failing.ToString());

    const auto tolerated = tolerated_.find(failing.Key());
    if (tolerated == tolerated_.end()) {
        if (tail_)
            for (std::string& call : tail_(failed))
                expected.push_back(std::move(call));
        return expected;
    }
    for (std::size_t i = failed + 1 + tolerated->second; i < clean.size(); ++i)
        expected.push_back(clean[i].ToString());
    return expected;
}

void FaultSweep::Run(const std::function<SweepRun(const FailedCall*)>& run, int result) const
{
    const SweepRun clean = run(nullptr);
    ASSERT_EQ(clean.result, result);
    ASSERT_EQ(clean.leaked, 0);
    ASSERT_FALSE(clean.calls.empty());

    for (std::size_t failed = 0; failed < clean.calls.size(); ++failed) {
        const FailedCall call{static_cast<int>(failed + 1), failed, clean.calls[failed].Key(),
                              tolerated_.count(clean.calls[failed].Key()) != 0};
        SCOPED_TRACE("failing call " + std::to_string(call.number) + ": " +
                     clean.calls[failed].ToString());
        const SweepRun faulty = run(&call);
        EXPECT_EQ(faulty.result, result);
        EXPECT_EQ(faulty.leaked, 0);
        std::vector<std::string> journal;
        for (const standin::CallRecord& record : faulty.calls)
            journal.push_back(record.ToString());
        EXPECT_EQ(journal, Expected(clean.calls, failed));
    }
}

std::size_t IndexOf(const std::vector<standin::CallRecord>& calls, const std::string& key)
{
    std::size_t index = 0;
    while (index < calls.size() && calls[index].Key() != key)
        ++index;
    return index;
}
