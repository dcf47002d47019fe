#pragma once

// qbsetup's command line: no arguments show the setup dialog; otherwise its
// tokens are read left to right, case-insensitively, with '/' taken as '-'.

#include <string>
#include <vector>

enum class CommandAction {
    RegisterServer,    // -RegServer
    UnregisterServer,  // -UnregServer
    RemoveAllAddins,   // -D
};

struct CommandLine {
    bool showDialog = false;            // nothing after the program name
    std::vector<CommandAction> actions; // in the order given
    bool serve = false;                 // -Embedding: run the COM server afterwards
};

// Parses the whole command line as GetCommandLineA gives it, program name
// included. Only spaces separate; unknown tokens are ignored, and nothing
// after -Embedding is read.
CommandLine ParseCommandLine(const char* line);
