#include "FileVersion.h"

#include "SystemLibrary.h"

#include <vector>

FileVersionReader::FileVersionReader() : library_(LoadSystemLibrary("version.dll"))
{
    infoSize_ = LibraryFunction<decltype(infoSize_)>(library_.Get(), "GetFileVersionInfoSizeA");
    info_ = LibraryFunction<decltype(info_)>(library_.Get(), "GetFileVersionInfoA");
    query_ = LibraryFunction<decltype(query_)>(library_.Get(), "VerQueryValueA");
}

std::string FileVersionReader::Read(const std::string& path) const
{
    if (!infoSize_ || !info_ || !query_)
        return std::string();
    DWORD ignored = 0;
    const DWORD size = infoSize_(path.c_str(), &ignored);
    if (size == 0)
        return std::string();
    std::vector<char> block(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!info_(path.c_str(), 0, size, block.data()) ||
        !query_(block.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) || !fixed ||
        fixedSize < sizeof *fixed || fixed->dwSignature != VS_FFI_SIGNATURE)
        return std::string();
    return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
           std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
           std::to_string(LOWORD(fixed->dwFileVersionLS));
}
