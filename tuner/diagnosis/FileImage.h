#pragma once

// What kind of program file a registered path names: whether it is there and
// for which processor it was built, read from its header only. Only files on
// disk are opened and read: a device or a pipe is told by its name and
// attributes and never opened.

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

struct FileImage {
    ImageKind kind;
    unsigned machine;    // the header's machine field, when it has one
    unsigned long error; // the platform's error code for Missing and Unreadable
};

FileImage ExamineImage(const std::string& path);
