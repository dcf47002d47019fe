#include "FileImage.h"

#include "DeviceNames.h"
#include "UniqueHandle.h"

#include <windows.h>

#include <cstddef>

namespace {

bool IsMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH;
}

// The security entry of the optional header's data directories, whose place
// depends on the header's format (PE32 or PE32+). A header too short to
// have one names no certificates.
CertificateTable ReadCertificateTable(HANDLE file, DWORD optionalHeader, WORD optionalHeaderSize)
{
    WORD magic = 0;
    if (!ReadFileAt(file, optionalHeader, &magic, sizeof magic))
        return {};
    DWORD count = 0;  // where the header says how many directories it has
    DWORD directories = 0;
    if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
        count = offsetof(IMAGE_OPTIONAL_HEADER32, NumberOfRvaAndSizes);
        directories = offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory);
    } else if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
        count = offsetof(IMAGE_OPTIONAL_HEADER64, NumberOfRvaAndSizes);
        directories = offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory);
    } else {
        return {};
    }
    const DWORD entry = directories + IMAGE_DIRECTORY_ENTRY_SECURITY * sizeof(IMAGE_DATA_DIRECTORY);
    DWORD entries = 0;
    IMAGE_DATA_DIRECTORY security = {};
    if (entry + sizeof security > optionalHeaderSize ||
        !ReadFileAt(file, optionalHeader + count, &entries, sizeof entries) ||
        entries <= IMAGE_DIRECTORY_ENTRY_SECURITY ||
        !ReadFileAt(file, optionalHeader + entry, &security, sizeof security))
        return {};
    // The security entry alone holds a place in the file, not an address.
    return {security.VirtualAddress, security.VirtualAddress ? security.Size : 0};
}

}  // namespace

bool ReadFileAt(HANDLE file, unsigned long offset, void* buffer, unsigned long size)
{
    LONG high = 0;
    SetLastError(ERROR_SUCCESS);
    if (SetFilePointer(file, static_cast<LONG>(offset), &high, FILE_BEGIN) ==
            INVALID_SET_FILE_POINTER &&
        GetLastError() != ERROR_SUCCESS)
        return false;
    DWORD read = 0;
    return ReadFile(file, buffer, size, &read, nullptr) && read == size;
}

bool IsProgram(ImageKind kind)
{
    return kind == ImageKind::Bits32 || kind == ImageKind::Bits64 ||
           kind == ImageKind::OtherMachine;
}

KernelHandle OpenToRead(const std::string& path)
{
    return KernelHandle(CreateFileA(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileImage ExamineImage(const std::string& path)
{
    // Opening a device or a pipe already acts on it, and reading there may
    // wait for ever: the name and the attributes decide before anything is
    // opened, and only a plain file on disk is.
    if (NamesADevice(path))
        return {ImageKind::NotAFile, 0, 0, {}};
    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &attributes)) {
        const DWORD error = GetLastError();
        return {IsMissing(error) ? ImageKind::Missing : ImageKind::Unreadable, 0, error, {}};
    }
    if (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return {ImageKind::NotAnImage, 0, 0, {}};
    if (attributes.dwFileAttributes & FILE_ATTRIBUTE_DEVICE)
        return {ImageKind::NotAFile, 0, 0, {}};

    // What opens must still be a file on disk.
    const KernelHandle file = OpenToRead(path);
    if (!file)
        return {ImageKind::Unreadable, 0, GetLastError(), {}};
    if (GetFileType(file.Get()) != FILE_TYPE_DISK)
        return {ImageKind::NotAFile, 0, 0, {}};

    IMAGE_DOS_HEADER dos = {};
    if (!ReadFileAt(file.Get(), 0, &dos, sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE ||
        dos.e_lfanew <= 0)
        return {ImageKind::NotAnImage, 0, 0, {}};
    DWORD signature = 0;
    IMAGE_FILE_HEADER header = {};
    if (!ReadFileAt(file.Get(), dos.e_lfanew, &signature, sizeof signature) ||
        signature != IMAGE_NT_SIGNATURE ||
        !ReadFileAt(file.Get(), static_cast<DWORD>(dos.e_lfanew) + sizeof signature, &header,
                sizeof header))
        return {ImageKind::NotAnImage, 0, 0, {}};

    const CertificateTable certificates = ReadCertificateTable(
        file.Get(), static_cast<DWORD>(dos.e_lfanew) + sizeof signature + sizeof header,
        header.SizeOfOptionalHeader);
    switch (header.Machine) {
    case IMAGE_FILE_MACHINE_I386:
        return {ImageKind::Bits32, header.Machine, 0, certificates};
    case IMAGE_FILE_MACHINE_AMD64:
        return {ImageKind::Bits64, header.Machine, 0, certificates};
    }
    return {ImageKind::OtherMachine, header.Machine, 0, certificates};
}
