#include "FileImage.h"

#include "DeviceNames.h"
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

bool IsMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH;
}

}  // namespace

FileImage ExamineImage(const std::string& path)
{
    // Opening a device or a pipe already acts on it, and reading there may
    // wait for ever: the name and the attributes decide before anything is
    // opened, and only a plain file on disk is.
    if (NamesADevice(path))
        return {ImageKind::NotAFile, 0, 0};
    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &attributes)) {
        const DWORD error = GetLastError();
        return {IsMissing(error) ? ImageKind::Missing : ImageKind::Unreadable, 0, error};
    }
    if (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return {ImageKind::NotAnImage, 0, 0};
    if (attributes.dwFileAttributes & FILE_ATTRIBUTE_DEVICE)
        return {ImageKind::NotAFile, 0, 0};

    // Only the right a read needs, sharing everything: a file Office has
    // loaded opens too. What opens must still be a file on disk.
    const KernelHandle file(CreateFileA(path.c_str(), FILE_READ_DATA,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return {ImageKind::Unreadable, 0, GetLastError()};
    if (GetFileType(file.Get()) != FILE_TYPE_DISK)
        return {ImageKind::NotAFile, 0, 0};

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
