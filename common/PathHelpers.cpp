#include "PathHelpers.h"

#include <cstring>

std::string::size_type FindLastCharacter(const std::string& text, const char* characters,
                                         UINT codePage)
{
    std::string::size_type last = std::string::npos;
    for (std::string::size_type i = 0; i < text.size(); ++i) {
        // A lead byte takes the next byte with it; a lead byte at the very
        // end stands alone.
        if (IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[i])) && i + 1 < text.size())
            ++i;
        else if (text[i] != '\0' && std::strchr(characters, text[i]))
            last = i;
    }
    return last;
}

void EnsureTrailingSeparator(std::string& path, UINT codePage)
{
    if (!path.empty() && FindLastCharacter(path, "\\/", codePage) != path.size() - 1)
        path += '\\';
}

std::string& AppendPath(std::string& a, const std::string& b)
{
    EnsureTrailingSeparator(a);
    a += b;
    return a;
}
