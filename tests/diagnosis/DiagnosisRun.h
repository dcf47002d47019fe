#pragma once

// Runs the real qbdiag.exe in the test prefix and reads its JSON report, in
// which each finding stands on a line of its own.

#include "ProgramRun.h"

#include <string>
#include <vector>

struct ReportedFinding {
    std::string section;  // "Word", ..., "Tuner", "Shell", "RunningObjects"
    std::string id;
    std::string severity;  // "info", "note", "problem"
    std::string text;      // UTF-8
    std::string source;
    std::string hint;
};

struct DiagnosisRun {
    ProgramRun program;
    int problems = -1;  // as the report counts them
    std::vector<ReportedFinding> findings;

    // The findings of a section with that id.
    std::vector<ReportedFinding> Find(const std::string& section, const std::string& id) const;
    // The section's findings of that severity.
    std::vector<ReportedFinding> OfSeverity(const std::string& section,
                                            const std::string& severity) const;
};

// qbdiag.exe --json.
DiagnosisRun RunDiagnosis();

// qbdiag.exe without arguments: its text (ANSI code page) as UTF-8.
ProgramRun RunDiagnosisText();

// qbdiag.exe without arguments, writing to a console of the test's own
// (wide enough for every line): what the console shows, its rows with their
// trailing blanks cut, each ending with "\n", as UTF-8.
struct ConsoleRun {
    bool finished = false;
    DWORD exitCode = 0;
    UINT codePage = 0;  // the console's output code page
    std::string shown;
};
ConsoleRun RunDiagnosisInConsole();
