// qbdiag.exe: why a Quillbar add-in is or is not working, host by host, and
// the state of the tuner and the shell extension. It only reads: no registry
// key or value, no file, no semaphore count and no Office instance changes.
//
//   qbdiag           the report in German, one line per finding
//   qbdiag --json    the same for support tools (shape in README.md)
//
// Exit code: 0 no problem found, 1 at least one problem, 2 no report.

#include "ConsoleOutput.h"
#include "Diagnosis.h"
#include "ReportText.h"

#include <windows.h>

#include <objbase.h>

#include <cstring>

namespace {

constexpr int kNoProblem = 0;
constexpr int kProblems = 1;
constexpr int kNoReport = 2;

const wchar_t kUsage[] =
    L"Aufruf: qbdiag [--json]\r\n"
    L"  ohne Argument  Bericht auf Deutsch, eine Zeile je Befund\r\n"
    L"  --json         derselbe Bericht als JSON\r\n"
    L"Rückgabe: 0 kein Problem, 1 Probleme gefunden, 2 kein Bericht möglich\r\n";

void Complain(const wchar_t* message)
{
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(error, &mode)) {
        WriteConsoleW(error, message, static_cast<DWORD>(wcslen(message)), &written, nullptr);
        return;
    }
    char bytes[512] = {};
    const int size = WideCharToMultiByte(CP_ACP, 0, message, -1, bytes, sizeof bytes - 1,
                                         nullptr, nullptr);
    if (size > 1)
        WriteFile(error, bytes, static_cast<DWORD>(size - 1), &written, nullptr);
}

}  // namespace

int main(int argc, char** argv)
{
    bool json = false;
    for (int i = 1; i < argc; ++i) {
        if (_stricmp(argv[i], "--json") == 0) {
            json = true;
        } else if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "/?") == 0) {
            return WriteOutput(kUsage, CP_ACP) ? kNoProblem : kNoReport;
        } else {
            Complain(kUsage);
            return kNoReport;
        }
    }

    const HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(initialised)) {
        Complain(L"qbdiag: COM lässt sich nicht starten\r\n");
        return kNoReport;
    }
    int exitCode = kNoReport;
    // Known only once the diagnosis has come back: a failure on the way may
    // leave a call into another program waiting.
    bool settled = false;
    try {
        const Diagnosis diagnosis = Diagnose();
        settled = diagnosis.settled;
        const Report& report = diagnosis.report;
        const bool written = json ? WriteOutput(ReportAsJson(report), CP_UTF8)
                                  : WriteOutput(ReportAsText(report), CP_ACP);
        if (!written)
            Complain(L"qbdiag: der Bericht lässt sich nicht ausgeben\r\n");
        else
            exitCode = report.Problems() > 0 ? kProblems : kNoProblem;
    } catch (...) {
        Complain(L"qbdiag: der Bericht ließ sich nicht erstellen\r\n");
    }
    // A call into a running-object entry that still waits ends with the
    // process; COM stays up for it until then, and so does all else it may
    // use: the process ends here, without the C runtime's exit (whose static
    // destructors would destroy what that call's thread still uses) and
    // without the libraries' detach code. The report is written already
    // (unbuffered), and the exit code is kept.
    if (!settled)
        TerminateProcess(GetCurrentProcess(), static_cast<UINT>(exitCode));
    CoUninitialize();
    return exitCode;
}
