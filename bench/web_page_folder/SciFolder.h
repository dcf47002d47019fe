#pragma once

#include <string>
#include <vector>

// A folder of its own under the temporary folder, filled with `count` ".sci"
// files of three tags each (Caption, Path, Group), as the product's setup
// writes them; deleted with its files when it goes.
class SciFolder {
public:
    explicit SciFolder(int count);
    ~SciFolder();
    SciFolder(const SciFolder&) = delete;
    SciFolder& operator=(const SciFolder&) = delete;

    bool Ready() const { return ready_; }
    const std::string& Path() const { return path_; }  // no trailing backslash
    int Count() const { return count_; }

    // The tags of file number `index`, as key, value, key, value, ...
    static std::vector<std::string> Tags(int index);

private:
    std::string path_;
    int count_ = 0;
    bool ready_ = false;
};
