#pragma once

#include <windows.h>

#include <cstddef>
#include <ostream>

// What a process holds of the system: for figures of soak tests, read the
// same way on Windows and under Wine.
struct ProcessResources {
    DWORD handles = 0;
    DWORD userObjects = 0;  // GetGuiResources; Wine answers 0
    DWORD gdiObjects = 0;   // likewise
    size_t privateBytes = 0;  // committed private memory
};

// The handle count comes from the system's handle list where the process
// count answers 0 (Wine); private bytes are the committed private regions of
// its address space.
ProcessResources MeasureProcess(HANDLE process = GetCurrentProcess());

std::ostream& operator<<(std::ostream& out, const ProcessResources& resources);
