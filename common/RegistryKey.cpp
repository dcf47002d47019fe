#include "RegistryKey.h"

#include "PathHelpers.h"
#include "SystemLibrary.h"
#include "TextConversion.h"
#include "UniqueHandle.h"

#include <utility>
#include <vector>

namespace {

const char* ValueName(const char* name)
{
    return name ? name : "";
}

// Keys are deleted through handles, with NtDeleteKey (in ntdll since the
// first Windows NT, looked up at run time): the name-based RegDeleteKey opens
// the key by following a symbolic link, and would delete the link's target.
using DeleteKeyByHandle = LONG(WINAPI*)(HANDLE key);
using StatusToError = ULONG(WINAPI*)(LONG status);

LONG DeleteOpenKey(HKEY key)
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    const auto deleteKey = LibraryFunction<DeleteKeyByHandle>(ntdll, "NtDeleteKey");
    const auto toError = LibraryFunction<StatusToError>(ntdll, "RtlNtStatusToDosError");
    if (!deleteKey || !toError)
        return ERROR_CALL_NOT_IMPLEMENTED;
    return static_cast<LONG>(toError(deleteKey(key)));
}

// A key opened here only to be deleted.
struct OpenKeyTraits {
    using Handle = HKEY;
    static Handle None() noexcept { return nullptr; }
    static bool IsValid(Handle key) noexcept { return key != nullptr; }
    static void Close(Handle key) noexcept { RegCloseKey(key); }
};
using OpenKey = UniqueHandle<OpenKeyTraits>;

// The names of a key's subkeys, in UTF-16 and at the registry's own limit of
// 255 characters, so that no name the ANSI code page cannot hold (or holds
// only in more bytes than a narrow buffer takes) is passed by.
std::vector<std::wstring> SubKeyNames(HKEY key)
{
    std::vector<std::wstring> names;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            return names;
        names.emplace_back(name, length);
    }
}

// Deletes the key of that name under `parent` with everything below it,
// never following a symbolic link: each key is opened as itself
// (REG_OPTION_OPEN_LINK), so that a link has no subkeys of its own and goes
// as one key, its target untouched. A subkey that cannot be removed stays;
// the keys above it then stay too.
LONG DeleteTree(HKEY parent, const wchar_t* name, REGSAM view, bool recursive)
{
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExW(parent, name, REG_OPTION_OPEN_LINK,
                                      KEY_ENUMERATE_SUB_KEYS | DELETE | view, &opened);
    if (result != ERROR_SUCCESS)
        return result;
    const OpenKey key(opened);
    if (recursive) {
        for (const std::wstring& child : SubKeyNames(key.Get()))
            DeleteTree(key.Get(), child.c_str(), view, true);
    }
    return DeleteOpenKey(key.Get());
}

REGSAM ViewOf(REGSAM access)
{
    return access & (KEY_WOW64_32KEY | KEY_WOW64_64KEY);
}

}  // namespace

RegistryKey::~RegistryKey()
{
    Close();
}

RegistryKey::RegistryKey(RegistryKey&& other) noexcept
    : path_(std::move(other.path_)),
      key_(std::exchange(other.key_, nullptr)),
      root_(std::exchange(other.root_, nullptr)),
      view_(std::exchange(other.view_, 0)),
      lastError_(std::exchange(other.lastError_, ERROR_SUCCESS))
{
    other.path_.clear();
}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept
{
    if (this != &other) {
        Close();
        path_ = std::move(other.path_);
        other.path_.clear();
        key_ = std::exchange(other.key_, nullptr);
        root_ = std::exchange(other.root_, nullptr);
        view_ = std::exchange(other.view_, 0);
        lastError_ = std::exchange(other.lastError_, ERROR_SUCCESS);
    }
    return *this;
}

bool RegistryKey::Remember(LONG result)
{
    lastError_ = result;
    return result == ERROR_SUCCESS;
}

// The root is the one this open or create names, so that a later Delete
// removes exactly the key that was opened, never a namesake under another
// root.
HKEY RegistryKey::BuildPath(HKEY root, const std::string& subKey)
{
    Close();
    if (!root) {
        root = HKEY_CURRENT_USER;
        path_ = "Software\\";
    }
    AppendPath(path_, subKey);
    root_ = root;
    return root;
}

bool RegistryKey::Open(HKEY root, const std::string& subKey, REGSAM access)
{
    root = BuildPath(root, subKey);
    view_ = ViewOf(access);
    return Remember(RegOpenKeyExA(root, path_.c_str(), 0, access, &key_));
}

bool RegistryKey::Create(HKEY root, const std::string& subKey, const char* keyClass,
                         DWORD options, REGSAM access, SECURITY_ATTRIBUTES* security,
                         DWORD* disposition)
{
    root = BuildPath(root, subKey);
    view_ = ViewOf(access);
    DWORD created = 0;
    const bool ok = Remember(RegCreateKeyExA(root, path_.c_str(), 0, const_cast<char*>(keyClass),
                                             options, access, security, &key_, &created));
    if (ok && disposition)
        *disposition = created;
    return ok;
}

bool RegistryKey::Close()
{
    path_.clear();
    if (key_)
        lastError_ = RegCloseKey(std::exchange(key_, nullptr));
    return lastError_ == ERROR_SUCCESS;
}

bool RegistryKey::Delete(bool recursive)
{
    // Without a key name there is nothing to delete; above all not a
    // predefined root's subkeys.
    if (!root_ || path_.empty()) {
        Close();
        return Remember(ERROR_INVALID_PARAMETER);
    }
    const HKEY root = root_;
    const std::wstring path = ToWide(path_);
    Close();
    return Remember(DeleteTree(root, path.c_str(), view_, recursive));
}

bool RegistryKey::QueryValueInfo(const char* name, DWORD* type, DWORD* size)
{
    if (!key_)
        return Remember(ERROR_INVALID_HANDLE);
    return Remember(RegQueryValueExA(key_, ValueName(name), nullptr, type, nullptr, size));
}

DWORD RegistryKey::QueryValueSize(const char* name)
{
    DWORD size = 0;
    return QueryValueInfo(name, nullptr, &size) ? size : 0;
}

std::string RegistryKey::QueryString(const char* name, const std::string& defaultText)
{
    DWORD size = QueryValueSize(name);
    if (size == 0)
        return defaultText;

    // One byte more than asked for, always zero: the text ends inside the
    // buffer even when the stored data carries no terminator.
    std::vector<char> buffer(size + 1, '\0');
    if (!Remember(RegQueryValueExA(key_, ValueName(name), nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(buffer.data()), &size)))
        return defaultText;
    return std::string(buffer.data());
}

bool RegistryKey::SetString(const char* name, const std::string& text)
{
    if (!key_)
        return Remember(ERROR_INVALID_HANDLE);
    return Remember(RegSetValueExA(key_, ValueName(name), 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(text.c_str()),
                                   static_cast<DWORD>(text.size() + 1)));
}

bool RegistryKey::SetDword(const char* name, DWORD value)
{
    if (!key_)
        return Remember(ERROR_INVALID_HANDLE);
    return Remember(RegSetValueExA(key_, ValueName(name), 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&value), sizeof value));
}

bool RegistryKey::DeleteValue(const char* name)
{
    if (!key_)
        return Remember(ERROR_INVALID_HANDLE);
    return Remember(RegDeleteValueA(key_, ValueName(name)));
}

std::string RegistryKey::EnumSubKey(DWORD& index)
{
    if (!key_) {
        Remember(ERROR_INVALID_HANDLE);
        return std::string();
    }
    // 255 characters, two bytes each in a double-byte code page.
    char name[2 * 255 + 1] = {};
    DWORD length = sizeof name;
    if (!Remember(RegEnumKeyExA(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr)))
        return std::string();
    ++index;
    return std::string(name, length);
}
