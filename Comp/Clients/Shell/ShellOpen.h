#pragma once

#include <windows.h>

#include <string>

// Asks the shell to open a file or start a program: no owner window, the
// default verb, no parameters, no working folder, shown normally. The shell
// must be asked from a single-threaded apartment (its hooks and the
// extensions it loads expect one): a caller in the multithreaded apartment
// is served by a short-lived thread of that kind, which it waits for.
// Returns the shell's result: above 32 when it started, else its error.
INT_PTR OpenWithShell(const std::wstring& path);
