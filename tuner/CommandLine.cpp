#include "CommandLine.h"

#include <windows.h>

#include <cstring>

namespace {

// Skips the program name: quoted up to and past the closing quote, else up to
// the first space.
const char* AfterProgramName(const char* line)
{
    if (*line == '"') {
        const char* closing = std::strchr(line + 1, '"');
        return closing ? closing + 1 : line + std::strlen(line);
    }
    const char* space = std::strchr(line, ' ');
    return space ? space : line + std::strlen(line);
}

}  // namespace

CommandLine ParseCommandLine(const char* line)
{
    CommandLine result;
    const char* rest = line ? AfterProgramName(line) : "";
    while (*rest == ' ')
        ++rest;
    if (!*rest) {
        result.showDialog = true;
        return result;
    }

    std::string text = rest;
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));  // multibyte-aware

    std::string::size_type start = 0;
    while (start < text.size()) {
        const std::string::size_type end = text.find(' ', start);
        std::string token = text.substr(start, end == std::string::npos ? end : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        if (token.empty())
            continue;  // a run of spaces
        if (token[0] == '/')
            token[0] = '-';

        if (token == "-EMBEDDING") {
            result.serve = true;
            break;
        }
        if (token == "-UNREGSERVER")
            result.actions.push_back(CommandAction::UnregisterServer);
        else if (token == "-REGSERVER")
            result.actions.push_back(CommandAction::RegisterServer);
        else if (token == "-D")
            result.actions.push_back(CommandAction::RemoveAllAddins);
    }
    return result;
}
