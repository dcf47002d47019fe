#pragma once

#include <windows.h>

#include <string>

// Module-wide state of tlvshell.dll: its own module handle (the source of
// its resources) and the lock count that keeps it loaded while objects,
// held class objects or server locks exist.
namespace ShellModule {

void SetInstance(HINSTANCE instance);
HINSTANCE Instance();

// The library's full path as the loader reports it.
std::string Path();

void Lock();
void Unlock();
LONG LockCount();

// A string of the library's string table; empty when it is missing.
std::string LoadText(UINT id);

// A modal message box with the stop icon and an OK button, titled with the
// library's name and owned by the calling thread's active window.
void ShowStopMessage(const std::string& text);

}  // namespace ShellModule

// The lock-count policy of this library's COM objects (see ComObject).
struct ShellModuleLock {
    static void Lock() { ShellModule::Lock(); }
    static void Unlock() { ShellModule::Unlock(); }
};
