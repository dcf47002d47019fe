#pragma once

// A stand-in for the previous generation's tuner: the class the setup dialog
// asks to switch that generation's add-ins off. It answers for the tuner
// interface, reports a count of add-ins and records every Enabled put.

#include <ComPtr.h>

#include <windows.h>

#include <memory>
#include <vector>

class PreviousTunerClass {
public:
    struct Calls {
        int countCalls = 0;
        std::vector<std::pair<long, long>> enabledPuts;  // (index, value)
    };

    // Registers the class object under the previous tuner's CLSID for this
    // process until destroyed. Each created object reports `count` add-ins,
    // with `countResult` as the result of Count.
    explicit PreviousTunerClass(long count, HRESULT countResult = S_OK);
    ~PreviousTunerClass();
    PreviousTunerClass(const PreviousTunerClass&) = delete;
    PreviousTunerClass& operator=(const PreviousTunerClass&) = delete;

    HRESULT Result() const { return result_; }
    const Calls& calls() const { return *calls_; }

private:
    std::shared_ptr<Calls> calls_;
    DWORD cookie_ = 0;
    HRESULT result_ = E_FAIL;
};
