#include "DiagnosisRun.h"

#include "TextConversion.h"

#include <windows.h>

#include <sstream>

namespace {

std::string QbdiagPath()
{
    return "\"" + BinaryFolder() + "qbdiag.exe\"";
}

void AppendUtf8(std::string& text, unsigned code)
{
    const wchar_t wide = static_cast<wchar_t>(code);
    char bytes[8] = {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, &wide, 1, bytes, sizeof bytes, nullptr, nullptr);
    text.append(bytes, size > 0 ? size : 0);
}

// The string value of "key" in one line of the report; empty when absent.
std::string Field(const std::string& line, const std::string& key)
{
    const std::string start = "\"" + key + "\": \"";
    auto at = line.find(start);
    if (at == std::string::npos)
        return std::string();
    std::string value;
    for (at += start.size(); at < line.size() && line[at] != '"'; ++at) {
        if (line[at] != '\\' || at + 1 >= line.size()) {
            value += line[at];
            continue;
        }
        const char escaped = line[++at];
        if (escaped == 'u' && at + 4 < line.size()) {
            AppendUtf8(value, std::stoul(line.substr(at + 1, 4), nullptr, 16));
            at += 4;
        } else {
            value += escaped;
        }
    }
    return value;
}

}  // namespace

std::vector<ReportedFinding> DiagnosisRun::Find(const std::string& section,
                                                const std::string& id) const
{
    std::vector<ReportedFinding> found;
    for (const ReportedFinding& finding : findings)
        if (finding.section == section && finding.id == id)
            found.push_back(finding);
    return found;
}

std::vector<ReportedFinding> DiagnosisRun::OfSeverity(const std::string& section,
                                                      const std::string& severity) const
{
    std::vector<ReportedFinding> found;
    for (const ReportedFinding& finding : findings)
        if (finding.section == section && finding.severity == severity)
            found.push_back(finding);
    return found;
}

DiagnosisRun RunDiagnosis()
{
    DiagnosisRun run;
    run.program = RunProgram(QbdiagPath() + " --json");
    std::istringstream lines(run.program.output);
    std::string section;
    for (std::string line; std::getline(lines, line);) {
        if (line.find("\"problems\": ") != std::string::npos)
            run.problems = std::stoi(line.substr(line.find(':') + 1));
        else if (line.find("{\"name\": ") != std::string::npos)
            section = Field(line, "name");
        else if (line.find("{\"id\": ") != std::string::npos)
            run.findings.push_back({section, Field(line, "id"), Field(line, "severity"),
                                    Field(line, "text"), Field(line, "source"),
                                    Field(line, "hint")});
    }
    return run;
}

ProgramRun RunDiagnosisText()
{
    ProgramRun run = RunProgram(QbdiagPath());
    const std::wstring wide = ToWide(run.output);
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    run.output.assign(size > 0 ? size : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), run.output.data(),
                        size, nullptr, nullptr);
    return run;
}
