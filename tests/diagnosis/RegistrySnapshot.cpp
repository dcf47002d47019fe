#include "RegistrySnapshot.h"

#include "Privileges.h"
#include "ScratchFolder.h"

#include <windows.h>

#include <sstream>

namespace {

// The platform writes a whole branch, with every key's time of last change,
// in one call: far quicker than walking it key by key.
void Save(HKEY root, const char* name, RegistrySnapshot& snapshot)
{
    const ScratchFolder folder;
    const std::string file = folder / "branch.reg";
    const LONG result = RegSaveKeyA(root, file.c_str(), nullptr);
    if (result != ERROR_SUCCESS) {
        snapshot[name] = "not saved: " + std::to_string(result);
        return;
    }
    // One entry per key: its header (with the time of its last change) and
    // its values, as the file lists them.
    std::istringstream lines(ReadWholeFile(file));
    std::string key = name;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] == '[')
            key = std::string(name) + "\\" + line.substr(1, line.find(']') - 1);
        snapshot[key] += line + "\n";
    }
}

}  // namespace

RegistrySnapshot SnapshotRegistry()
{
    RegistrySnapshot snapshot;
    EnablePrivilege("SeBackupPrivilege", true);  // saving a branch asks for it
    Save(HKEY_CURRENT_USER, "HKCU", snapshot);
    Save(HKEY_LOCAL_MACHINE, "HKLM", snapshot);
    return snapshot;
}

std::vector<std::string> Differences(const RegistrySnapshot& before,
                                     const RegistrySnapshot& after)
{
    std::vector<std::string> lines;
    for (const auto& [name, content] : before) {
        const auto now = after.find(name);
        if (now == after.end())
            lines.push_back("gone: " + name);
        else if (now->second != content)
            lines.push_back("changed: " + name + "\n" + content + "->\n" + now->second);
    }
    for (const auto& [name, content] : after)
        if (!before.count(name))
            lines.push_back("new: " + name);
    return lines;
}
