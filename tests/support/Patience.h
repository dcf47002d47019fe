#pragma once

#include <windows.h>

// How long a test waits for something that must happen (a window, a file, a
// process's end, an answer) before it counts as not happening. Tests wait for
// the event itself and never for a time; this is only the outer limit, and
// generous: 32-bit programs may run under emulation, several times slower,
// with other tests beside them on the same cores.
constexpr DWORD kPatienceMs = 60000;
