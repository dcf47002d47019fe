#pragma once

#include <string>
#include <unordered_map>
#include <vector>

// The tags of one ".sci" file's section ".WebPageFolder": key to value, keys
// exactly as the file writes them (case counts), only non-empty values; never
// empty. "Path" names the program or document to start, relative to the
// product's root folder.
using WebPageEntry = std::unordered_map<std::string, std::string>;

// One entry for each "*.sci" file in the setup folder that has at least one
// tag, in the order the directory listing returns the files. A relative
// folder is taken from the current folder, and none (empty) is the current
// folder itself, as the directory search takes them; the files are read
// under the full path that search found them in.
std::vector<WebPageEntry> ReadWebPageEntries(const std::string& setupFolder);
