#pragma once

#include <windows.h>

#include <string>

// Owns one open registry key and remembers where it lives (root, path and
// registry view), so that the key can later be deleted, with its subkeys if
// asked. Every
// operation reports by its result and keeps the platform's code in
// LastError(); nothing throws. Names and texts are narrow (ANSI) strings; a
// null or empty value name means the key's default value.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey();

    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;

    // Both close any key held before. A null root means HKEY_CURRENT_USER
    // with the path starting at "Software\". KEY_WOW64_32KEY or
    // KEY_WOW64_64KEY in the access names the registry view; Delete then
    // deletes in that view too.
    bool Open(HKEY root, const std::string& subKey, REGSAM access);
    bool Create(HKEY root, const std::string& subKey, const char* keyClass = nullptr,
                DWORD options = REG_OPTION_NON_VOLATILE, REGSAM access = KEY_ALL_ACCESS,
                SECURITY_ATTRIBUTES* security = nullptr, DWORD* disposition = nullptr);

    // Forgets the path and closes the key; true when LastError() is 0 afterwards.
    bool Close();

    // Deletes the key named by root and path (closing it first); when
    // recursive, its subkeys and theirs go before it.
    bool Delete(bool recursive);

    // Size in bytes of a value, 0 when it is missing, empty or unreadable.
    DWORD QueryValueSize(const char* name);
    // Type and size of a value without reading its data.
    bool QueryValueInfo(const char* name, DWORD* type, DWORD* size);
    // The value read as text up to its first zero byte, whatever its registry
    // type; the default when the value is missing, empty or unreadable.
    std::string QueryString(const char* name, const std::string& defaultText = std::string());

    bool SetString(const char* name, const std::string& text);  // REG_SZ, zero included
    bool SetDword(const char* name, DWORD value);                // REG_DWORD
    bool DeleteValue(const char* name);

    // Name of the subkey at index, incrementing index on success; empty at
    // the end of the list or on error.
    std::string EnumSubKey(DWORD& index);

    bool IsOpen() const { return key_ != nullptr; }
    HKEY Handle() const { return key_; }
    const std::string& Path() const { return path_; }
    LONG LastError() const { return lastError_; }

private:
    HKEY BuildPath(HKEY root, const std::string& subKey);
    bool Remember(LONG result);

    std::string path_;
    HKEY key_ = nullptr;
    HKEY root_ = nullptr;
    REGSAM view_ = 0;
    LONG lastError_ = ERROR_SUCCESS;
};
