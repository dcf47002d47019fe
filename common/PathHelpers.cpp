#include "PathHelpers.h"

#include <cstring>
#include <vector>

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

std::string ExpandEnvironmentReferences(const std::string& text)
{
    const DWORD size = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (size == 0)
        return text;
    std::vector<char> expanded(size + 1);
    if (ExpandEnvironmentStringsA(text.c_str(), expanded.data(), size + 1) == 0)
        return text;
    return expanded.data();
}

bool IsFullPath(const std::string& path)
{
    const auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
    const auto isDriveLetter = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    };
    if (path.size() >= 3 && isDriveLetter(path[0]) && path[1] == ':' && isSeparator(path[2]))
        return true;
    return path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]);
}
