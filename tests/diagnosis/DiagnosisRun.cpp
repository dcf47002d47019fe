#include "DiagnosisRun.h"

#include "TextConversion.h"
#include "UniqueHandle.h"

#include <windows.h>

#include <sstream>

namespace {

std::string QbdiagPath()
{
    return "\"" + BinaryFolder() + "qbdiag.exe\"";
}

// A console of this process's own for as long as it lives; the standard
// handles (the test's output) are given back afterwards.
class OwnConsole {
public:
    OwnConsole()
        : input_(GetStdHandle(STD_INPUT_HANDLE)), output_(GetStdHandle(STD_OUTPUT_HANDLE)),
          error_(GetStdHandle(STD_ERROR_HANDLE))
    {
        FreeConsole();
        ready_ = AllocConsole() != FALSE;
    }
    ~OwnConsole()
    {
        FreeConsole();
        SetStdHandle(STD_INPUT_HANDLE, input_);
        SetStdHandle(STD_OUTPUT_HANDLE, output_);
        SetStdHandle(STD_ERROR_HANDLE, error_);
    }
    OwnConsole(const OwnConsole&) = delete;
    OwnConsole& operator=(const OwnConsole&) = delete;
    bool Ready() const { return ready_; }

private:
    HANDLE input_;
    HANDLE output_;
    HANDLE error_;
    bool ready_ = false;
};

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
            value += ToUtf8(std::wstring(
                1, static_cast<wchar_t>(std::stoul(line.substr(at + 1, 4), nullptr, 16))));
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
    run.output = ToUtf8(ToWide(run.output));
    return run;
}

ConsoleRun RunDiagnosisInConsole()
{
    ConsoleRun run;
    const OwnConsole console;
    if (!console.Ready())
        return run;
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    const KernelHandle screen(CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                          OPEN_EXISTING, 0, nullptr));
    const COORD size = {1000, 400};
    if (!screen || !SetConsoleScreenBufferSize(screen.Get(), size))
        return run;
    run.codePage = GetConsoleOutputCP();

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = screen.Get();
    startup.hStdError = screen.Get();
    PROCESS_INFORMATION started = {};
    std::string line = QbdiagPath();
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &started))
        return run;
    const KernelHandle process(started.hProcess);
    const KernelHandle thread(started.hThread);
    run.finished = WaitForSingleObject(process.Get(), kPatienceMs) == WAIT_OBJECT_0;
    if (!run.finished)
        TerminateProcess(process.Get(), 1);
    GetExitCodeProcess(process.Get(), &run.exitCode);

    std::wstring row(size.X, L' ');
    for (SHORT y = 0; y < size.Y; ++y) {
        DWORD read = 0;
        if (!ReadConsoleOutputCharacterW(screen.Get(), row.data(), size.X, {0, y}, &read))
            break;
        const std::wstring shown = row.substr(0, row.find_last_not_of(L' ') + 1);
        run.shown += ToUtf8(shown) + "\n";
    }
    return run;
}
