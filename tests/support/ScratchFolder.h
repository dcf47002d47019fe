#pragma once

#include <string>

// A fresh folder of its own under the temporary folder, deleted with
// everything in it when the test ends. Paths are narrow (ANSI) with
// backslashes, as the deliverables use them.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }  // no trailing backslash
    std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }

    // Writes a file (creating its folders); returns its full path.
    std::string Write(const std::string& relative, const std::string& content) const;
    // The same for a name the ANSI code page may not hold; returns the wide path.
    std::wstring Write(const std::wstring& relative, const std::string& content) const;
    // Creates a folder (and its parents); returns its full path.
    std::string MakeFolder(const std::string& relative) const;

private:
    std::string path_;
};

// The whole content of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
