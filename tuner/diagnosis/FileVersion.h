#pragma once

// The file version that a program's version block gives, read with the
// system's version.dll. Its functions are looked up at run time: Windows XP
// has them, but the export lists our programs are held to do not name that
// library.

#include "UniqueHandle.h"

#include <windows.h>

#include <winver.h>

#include <string>

class FileVersionReader {
public:
    // Loads version.dll from the system folder: construct it where file
    // names are this program's own, not inside SixtyFourBitFileNames.
    FileVersionReader();

    // "6.0.0.4", from the block's fixed part; empty when the file has no
    // version block or it cannot be read.
    std::string Read(const std::string& path) const;

private:
    LibraryHandle library_;
    decltype(&GetFileVersionInfoSizeA) infoSize_ = nullptr;
    decltype(&GetFileVersionInfoA) info_ = nullptr;
    decltype(&VerQueryValueA) query_ = nullptr;
};
