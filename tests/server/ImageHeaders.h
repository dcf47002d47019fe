#pragma once

// What Windows' loader reads of an executable image before any of its code
// runs: the subsystem version its header asks for and the functions it
// imports by name, read from the file (PE32 and PE32+ alike).

#include <windows.h>

#include <string>
#include <vector>

struct ImportedFunction {
    std::string library;  // as the image names it ("KERNEL32.dll")
    std::string name;     // empty for an import by ordinal
    WORD ordinal = 0;
};

struct ImageHeaders {
    bool valid = false;  // false: no PE image, or its tables point outside the file
    WORD machine = 0;
    WORD subsystemMajor = 0;
    WORD subsystemMinor = 0;
    std::vector<ImportedFunction> imports;  // plain and delay-loaded
};

ImageHeaders ReadImageHeaders(const std::string& path);
