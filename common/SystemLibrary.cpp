#include "SystemLibrary.h"

#include "PathHelpers.h"

std::string SystemFolderFile(const char* name)
{
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    std::string path(folder, length);
    return AppendPath(path, name);
}

LibraryHandle LoadSystemLibrary(const char* name)
{
    const std::string path = SystemFolderFile(name);
    return LibraryHandle(path.empty() ? nullptr : LoadLibraryA(path.c_str()));
}
