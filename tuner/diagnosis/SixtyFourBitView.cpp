#include "SixtyFourBitView.h"

#include "SystemLibrary.h"

#include <vector>

namespace {

// Variables whose value WOW64 gives 32-bit processes their own way, with the
// variable that keeps the 64-bit processes' value.
const struct {
    const char* name;
    const char* sixtyFourBitValue;
} kWow64Variables[] = {
    {"ProgramFiles", "ProgramW6432"},
    {"CommonProgramFiles", "CommonProgramW6432"},
    {"PROCESSOR_ARCHITECTURE", "PROCESSOR_ARCHITEW6432"},
};

bool ReadVariable(const std::string& name, std::string& value)
{
    std::vector<char> buffer(256);
    for (;;) {
        SetLastError(ERROR_SUCCESS);  // an empty value also answers 0
        const DWORD length = GetEnvironmentVariableA(name.c_str(), buffer.data(),
                                                     static_cast<DWORD>(buffer.size()));
        if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND)
            return false;
        if (length < buffer.size()) {
            value.assign(buffer.data(), length);
            return true;
        }
        buffer.resize(length + 1);  // the size asked for, with the terminator
    }
}

bool ReadAs64BitProcess(const std::string& name, std::string& value)
{
    for (const auto& variable : kWow64Variables) {
        if (_stricmp(name.c_str(), variable.name) == 0 &&
            ReadVariable(variable.sixtyFourBitValue, value))
            return true;
    }
    return ReadVariable(name, value);
}

using DisableRedirection = BOOL(WINAPI*)(PVOID*);
using RevertRedirection = BOOL(WINAPI*)(PVOID);

template <typename Function>
Function Kernel32Function(const char* name)
{
    return LibraryFunction<Function>(GetModuleHandleA("kernel32.dll"), name);
}

}  // namespace

std::string ExpandAs64BitProcess(const std::string& text)
{
    // Percent signs pair as ExpandEnvironmentStrings pairs them: from one to
    // the next; a name that is not set is copied with both, and a sign
    // without a partner stays.
    std::string expanded;
    std::string::size_type at = 0;
    while (at < text.size()) {
        const std::string::size_type open = text.find('%', at);
        const std::string::size_type close =
            open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) {
            expanded.append(text, at, std::string::npos);
            break;
        }
        expanded.append(text, at, open - at);
        std::string value;
        if (ReadAs64BitProcess(text.substr(open + 1, close - open - 1), value))
            expanded += value;
        else
            expanded.append(text, open, close - open + 1);
        at = close + 1;
    }
    return expanded;
}

SixtyFourBitFileNames::SixtyFourBitFileNames() noexcept
{
    if (sizeof(void*) == 8)
        return;
    const auto disable = Kernel32Function<DisableRedirection>("Wow64DisableWow64FsRedirection");
    switchedOff_ = disable && disable(&previous_);
}

SixtyFourBitFileNames::~SixtyFourBitFileNames()
{
    if (!switchedOff_)
        return;
    if (const auto revert = Kernel32Function<RevertRedirection>("Wow64RevertWow64FsRedirection"))
        revert(previous_);
}
