#pragma once

#include <string>

// Appends a backslash unless the text is empty or already ends with '\' or '/'.
void EnsureTrailingSeparator(std::string& path);

// Joins b onto a with one separator between them and returns a. b is appended
// unchanged, even when it is absolute or starts with a separator.
std::string& AppendPath(std::string& a, const std::string& b);
