#pragma once

// What the stand-in's objects were asked, in order, and which calls it was
// told to fail.

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace standin {

enum class CallKind { Get, Put, Method };

struct CallRecord {
    std::string object;   // kind of object: "CommandBar", "Button", "COMAddIns", ...
    std::string label;    // which one: bar name, control tag, ProgID, ... (may be empty)
    std::string member;
    CallKind kind = CallKind::Method;
    std::vector<std::string> args;  // formatted with their types: "\"text\"", "2:I2", "missing"
    HRESULT result = S_OK;

    // Object.Member without label and arguments, the key for failing calls.
    std::string Key() const { return object + "." + member; }
    // e.g. CommandBarControls[Menu Bar].Add(10:I4, missing, missing, 2:I2, missing)
    //      Button[TALVO_QB_HELP].Caption = "&Hilfe"
    std::string ToString() const;
};

class Journal {
public:
    // Fails the occurrence-th call (1-based) of "Object.Member" with result.
    void FailCall(const std::string& key, int occurrence, HRESULT result);
    // Fails the number-th call of the whole run (1-based).
    void FailCallNumber(int number, HRESULT result);

    // Runs `observer` whenever a call of "Object.Member" is recorded, before
    // the call takes effect (to look at other state at exactly that moment).
    void Observe(const std::string& key, std::function<void()> observer);

    // Records the call; returns the failure to report for it, or S_OK.
    HRESULT Record(CallRecord record);
    // The call recorded last failed by itself (an unknown name, say).
    void MarkLastFailed(HRESULT result);
    void RecordIdLookup(const std::string& object, const std::string& member);

    const std::vector<CallRecord>& Calls() const { return calls_; }
    std::vector<std::string> CallStrings() const;
    // "Object.Member" of every GetIDsOfNames, in order.
    const std::vector<std::string>& IdLookups() const { return idLookups_; }
    int CountOf(const std::string& key) const;
    void Clear();

private:
    std::vector<CallRecord> calls_;
    std::vector<std::string> idLookups_;
    std::map<std::string, int> occurrences_;
    std::map<std::pair<std::string, int>, HRESULT> failByKey_;
    std::map<int, HRESULT> failByNumber_;
    std::multimap<std::string, std::function<void()>> observers_;
};

}  // namespace standin
