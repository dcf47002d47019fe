#pragma once

// The diagnosis as data: sections (one per host in the host table's order,
// then the tuner's own state), each a list of findings. A finding is one
// line for people and one record for support tools.

#include <string>
#include <utility>
#include <vector>

enum class Severity {
    Info,     // a state, healthy or neutral ("not installed", "switched off")
    Note,     // worth a look, but nothing fails because of it
    Problem,  // a reason why an add-in does not work, or will not switch
};

struct Finding {
    std::string id;       // stable name for tools: "record.loadBehavior.unloaded"
    Severity severity;
    std::wstring text;    // German, one line
    std::wstring source;  // the key, value or object that decided it; may be empty
    std::wstring hint;    // what to do about a problem; may be empty
};

class ReportSection {
public:
    ReportSection(std::string name, std::wstring title)
        : name_(std::move(name)), title_(std::move(title)) {}

    void Info(std::string id, std::wstring text, std::wstring source = {});
    void Note(std::string id, std::wstring text, std::wstring source = {}, std::wstring hint = {});
    void Problem(std::string id, std::wstring text, std::wstring source, std::wstring hint);

    // While false, problems are recorded as notes: what they concern cannot
    // matter at the moment (for a host that is not installed, say).
    void SetProblemsMatter(bool matter) { problemsMatter_ = matter; }

    const std::string& Name() const { return name_; }
    const std::wstring& Title() const { return title_; }
    const std::vector<Finding>& Findings() const { return findings_; }

private:
    std::string name_;    // "Word", ..., "Tuner"
    std::wstring title_;  // "Microsoft Word", ...
    std::vector<Finding> findings_;
    bool problemsMatter_ = true;
};

// A result or error code as findings name it: "0x80004005".
std::wstring ResultCodeText(long result);

struct Report {
    std::vector<ReportSection> sections;

    int Problems() const;
};
