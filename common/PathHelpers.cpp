#include "PathHelpers.h"

void EnsureTrailingSeparator(std::string& path)
{
    if (!path.empty() && path.back() != '\\' && path.back() != '/')
        path += '\\';
}

std::string& AppendPath(std::string& a, const std::string& b)
{
    EnsureTrailingSeparator(a);
    a += b;
    return a;
}
