#pragma once

// Everything in the prefix's registry that a program could change: every key
// of HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE (both registry views, and the
// classes of both) with its values and the time of its last change, as the
// platform saves them, to compare two moments. (Writing a value with the
// content it already has leaves no trace there.)

#include <map>
#include <string>
#include <vector>

using RegistrySnapshot = std::map<std::string, std::string>;  // key or value -> content

RegistrySnapshot SnapshotRegistry();

// What differs, one line per key or value, for a failure message.
std::vector<std::string> Differences(const RegistrySnapshot& before,
                                     const RegistrySnapshot& after);
