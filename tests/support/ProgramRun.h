#pragma once

#include "Patience.h"
#include "UniqueHandle.h"

#include <windows.h>

#include <string>

// Runs a program to its end, as a user would start it from a command line,
// with its standard output and error captured through a file (programs it
// starts in turn may inherit them and outlive it).
struct ProgramRun {
    DWORD exitCode = 0;
    bool finished = false;  // false when it could not start or ran past the time-out
    std::string output;
};

ProgramRun RunProgram(const std::string& commandLine, DWORD timeoutMs = kPatienceMs);

// Starts a program that runs beside the test (no console, no captured
// output); its process handle, or none when it could not start.
KernelHandle StartProgram(const std::string& commandLine);

// The folder of the running test program, where the build puts the
// deliverables and stand-ins too (with a trailing backslash).
std::string BinaryFolder();

// The script host our script clients run in: the one 64-bit Windows starts
// for a script by default, the 64-bit cscript (reached from a 32-bit program
// through sysnative). A test that needs the 32-bit one names "cscript.exe".
constexpr char kScriptHost[] = "C:\\windows\\sysnative\\cscript.exe //nologo";
