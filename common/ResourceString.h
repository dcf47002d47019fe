#pragma once

#include <windows.h>

#include <string>

// A string of the module's string table as narrow ANSI text, whole and
// without length limit; empty when there is no such string.
std::string LoadResourceString(HINSTANCE module, UINT id);
