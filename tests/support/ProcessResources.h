#pragma once

#include <windows.h>

#include <cstddef>
#include <ostream>

// What a process holds of the system: for figures of soak tests, read the
// same way on Windows and under Wine. (Its USER and GDI objects are not
// among them: GetGuiResources answers 0 under Wine 8.) A count that reads 0
// could not be made.
struct ProcessResources {
    DWORD handles = 0;
    size_t privateBytes = 0;  // committed private memory
};

// The handle count comes from the system's handle list where the process
// count answers 0 (Wine); private bytes are the committed private regions of
// its address space.
ProcessResources MeasureProcess(HANDLE process = GetCurrentProcess());

std::ostream& operator<<(std::ostream& out, const ProcessResources& resources);
