#include "TranslatableFile.h"

#include "PathHelpers.h"

#include <windows.h>

namespace {

const char* const kTranslatableExtensions[] = {"TXT", "DOC", "STD", "RTF", "HTM", "HTML"};

}  // namespace

bool HasTranslatableExtension(const std::string& path)
{
    // By character, so that the trail byte of a double-byte character is
    // never taken for a backslash or a dot.
    const size_t lastBackslash = FindLastCharacter(path, "\\");
    const size_t lastDot = FindLastCharacter(path, ".");

    // The file-name part is the whole path when there is no backslash or the
    // path ends with one.
    const size_t nameStart =
        lastBackslash == std::string::npos || lastBackslash + 1 == path.size() ? 0
                                                                               : lastBackslash + 1;
    if (lastDot == std::string::npos || lastDot < nameStart)
        return false;
    std::string extension = path.substr(lastDot + 1);
    if (extension.empty())
        return false;
    CharUpperBuffA(extension.data(), static_cast<DWORD>(extension.size()));
    for (const char* accepted : kTranslatableExtensions) {
        if (extension == accepted)
            return true;
    }
    return false;
}
