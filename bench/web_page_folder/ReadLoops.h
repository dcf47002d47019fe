#pragma once

#include <windows.h>

#include <string>

// What the web-page folder's Count costs at the least, in this process, for
// the ".sci" files of a folder (given with its trailing separator).

// The folder listed with FindFirstFile/FindNextFile ("*.sci") and, for each
// file, exactly the profile reads the object makes: the key list of section
// ".WebPageFolder" and then each key's value, every read with a buffer of
// `bufferSize` bytes and the default "". Nothing is kept. Returns the number
// of non-empty values read; `calls` (if given) gets the number of profile
// reads.
long ProfileReadLoop(const std::string& folder, DWORD bufferSize, long* calls = nullptr);

// The same files listed the same way, each opened and read whole with
// CreateFile/ReadFile into one buffer: what reading them costs without the
// profile interface. Returns the number of bytes read.
long PlainReadLoop(const std::string& folder);
