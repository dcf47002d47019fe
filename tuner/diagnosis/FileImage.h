#pragma once

// What kind of program file a registered path names: whether it is there and
// for which processor it was built, read from its header only. Only files on
// disk are opened and read: a device or a pipe is told by its name and
// attributes and never opened.

#include "UniqueHandle.h"

#include <windows.h>

#include <string>

enum class ImageKind {
    Missing,       // no such file
    Unreadable,    // there, but it cannot be opened or read
    NotAFile,      // a device or a pipe (COM1, \\.\pipe\...): not opened
    NotAnImage,    // a folder, or a file without a Windows program header
    Bits32,        // x86: loads into 32-bit Office
    Bits64,        // x64
    OtherMachine,  // another processor (ARM, Itanium, ...)
};

// Where a program file keeps its certificate table (its Authenticode
// signatures), as its header says: a place in the file, not in memory.
struct CertificateTable {
    unsigned long offset = 0;
    unsigned long size = 0;  // 0: the file has none, it is not signed
};

struct FileImage {
    ImageKind kind;
    unsigned machine;    // the header's machine field, when it has one
    unsigned long error; // the platform's error code for Missing and Unreadable
    CertificateTable certificates;  // for a program (Bits32, Bits64, OtherMachine)
};

FileImage ExamineImage(const std::string& path);

// A program's kinds: files with a Windows program header.
bool IsProgram(ImageKind kind);

// The file opened for reading, sharing everything (a file that Office has
// loaded opens too); none when it cannot be opened. Only for a path that
// ExamineImage found to be a file: a name that could be a device is never
// opened, and what opens must still be a file on disk (GetFileType).
KernelHandle OpenToRead(const std::string& path);

// Reads exactly `size` bytes from that place of the file.
bool ReadFileAt(HANDLE file, unsigned long offset, void* buffer, unsigned long size);
