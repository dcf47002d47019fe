#pragma once

// Libraries of Windows' own, loaded at run time by their full path in the
// system folder: a bare name is resolved by a search through folders, which
// finds a file of that name planted beside the program or in the current
// folder first. For functions that the oldest Windows we serve lacks, or
// that a program should not need to start.

#include "UniqueHandle.h"

#include <windows.h>

#include <string>

// The file's full path in the system folder ("C:\WINDOWS\system32\x.dll", for
// a 32-bit process on 64-bit Windows the folder WOW64 shows under that name);
// empty when the system folder cannot be told.
std::string SystemFolderFile(const char* name);

// The system folder's library of that name; none when it cannot be loaded.
LibraryHandle LoadSystemLibrary(const char* name);

// A function the library exports by that name, typed; null when it has none
// (or there is no library).
template <typename Function>
Function LibraryFunction(HMODULE library, const char* name)
{
    if (!library)
        return nullptr;
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}
