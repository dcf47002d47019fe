#include "TranslatableFile.h"

#include <windows.h>

namespace {

const char* const kTranslatableExtensions[] = {"TXT", "DOC", "STD", "RTF", "HTM", "HTML"};

}  // namespace

bool HasTranslatableExtension(const std::string& path)
{
    // Walk whole characters, so that the trail byte of a double-byte
    // character is never taken for a backslash or a dot.
    size_t lastBackslash = std::string::npos;
    size_t lastDot = std::string::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size())
            ++i;
        else if (path[i] == '\\')
            lastBackslash = i;
        else if (path[i] == '.')
            lastDot = i;
    }

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
