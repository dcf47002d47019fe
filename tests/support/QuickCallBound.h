#pragma once

#include <windows.h>

// The bound on calls into other programs in test programs that link
// QuickCallBound.cpp.
inline constexpr DWORD kQuickCallBoundMs = 3000;
