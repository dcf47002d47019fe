#pragma once

// Whether a path names a device rather than a file on disk, told from the
// name alone: opening a device already acts on it (a pipe's server sees a
// connection, a serial line's signals change), so it must be known before.

#include <string>

// True for the device namespace ("\\.\pipe\x", "\\?\GLOBALROOT\...",
// "\??\...", forward slashes too), except where it leads to a drive or a
// network path ("\\?\C:\...", "\\.\UNC\..."), and for the reserved DOS
// names as the last part, with any extension and in any folder (NUL,
// C:\Programme\COM1.dll, "aux .txt", CONIN$). The path is ANSI text.
bool NamesADevice(const std::string& path);
