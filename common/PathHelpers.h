#pragma once

#include <windows.h>

#include <string>

// Paths are narrow text in a code page (the ANSI one unless told otherwise)
// and are walked by character: in the double-byte code pages (932, 936, 949,
// 950) the trail byte of a character may be 0x5C, which is no backslash.

// Where the last character of the text that is one of `characters` (single
// bytes) stands; npos when there is none.
std::string::size_type FindLastCharacter(const std::string& text, const char* characters,
                                         UINT codePage = CP_ACP);

// Appends a backslash unless the text is empty or its last character is '\'
// or '/'.
void EnsureTrailingSeparator(std::string& path, UINT codePage = CP_ACP);

// Joins b onto a with one separator between them and returns a. b is appended
// unchanged, even when it is absolute or starts with a separator.
std::string& AppendPath(std::string& a, const std::string& b);

// The text with its %name% references to environment variables replaced by
// their values, as a REG_EXPAND_SZ value is read; unchanged when that fails.
std::string ExpandEnvironmentReferences(const std::string& text);

// Whether the path names the same file for every reader: from a drive's root
// ("C:\x") or a network path ("\\server\share\x"). A relative name or a
// bare file name would be found by a search through folders.
bool IsFullPath(const std::string& path);
