#include "FileImage.h"

#include "UniqueHandle.h"

#include <windows.h>

namespace {

bool ReadAt(HANDLE file, LONG offset, void* buffer, DWORD size)
{
    if (SetFilePointer(file, offset, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return false;
    DWORD read = 0;
    return ReadFile(file, buffer, size, &read, nullptr) && read == size;
}

}  // namespace

FileImage ExamineImage(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    const DWORD attributesError = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
    if (attributesError == ERROR_FILE_NOT_FOUND || attributesError == ERROR_PATH_NOT_FOUND ||
        attributesError == ERROR_INVALID_NAME || attributesError == ERROR_BAD_NETPATH)
        return {ImageKind::Missing, 0, attributesError};
    if (!attributesError && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {ImageKind::NotAnImage, 0, 0};

    // Read only, sharing everything: a file Office has loaded opens too. A
    // device or a pipe opens at once as well (also one whose attributes cannot
    // be read), but reading there may wait for ever: only files on disk are read.
    const KernelHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return {ImageKind::Unreadable, 0, attributesError ? attributesError : GetLastError()};
    if (GetFileType(file.Get()) != FILE_TYPE_DISK)
        return {ImageKind::NotAFile, 0, 0};
    if (attributesError)
        return {ImageKind::Unreadable, 0, attributesError};

    IMAGE_DOS_HEADER dos = {};
    if (!ReadAt(file.Get(), 0, &dos, sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE ||
        dos.e_lfanew <= 0)
        return {ImageKind::NotAnImage, 0, 0};
    DWORD signature = 0;
    IMAGE_FILE_HEADER header = {};
    if (!ReadAt(file.Get(), dos.e_lfanew, &signature, sizeof signature) ||
        signature != IMAGE_NT_SIGNATURE ||
        !ReadAt(file.Get(), dos.e_lfanew + static_cast<LONG>(sizeof signature), &header,
                sizeof header))
        return {ImageKind::NotAnImage, 0, 0};

    switch (header.Machine) {
    case IMAGE_FILE_MACHINE_I386:
        return {ImageKind::Bits32, header.Machine, 0};
    case IMAGE_FILE_MACHINE_AMD64:
        return {ImageKind::Bits64, header.Machine, 0};
    }
    return {ImageKind::OtherMachine, header.Machine, 0};
}
