#include "RegistryKey.h"

#include "PathHelpers.h"

#include <utility>
#include <vector>

namespace {

const char* ValueName(const char* name)
{
    return name ? name : "";
}

// RegDeleteKeyEx, the only way to name a view, came with Windows XP x64 and
// Vista: a 64-bit build calls it; a 32-bit one deletes in its own view with
// RegDeleteKey, which every Windows has, and finds RegDeleteKeyEx at run time
// only in the rare case that it names a view.
LONG DeleteKeyInView(HKEY root, const char* path, REGSAM view)
{
#ifdef _WIN64
    return RegDeleteKeyExA(root, path, view, 0);
#else
    if (view == 0)
        return RegDeleteKeyA(root, path);
    using DeleteKeyEx = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);
    const HMODULE advapi = GetModuleHandleA("advapi32.dll");
    const auto deleteKeyEx = advapi ? reinterpret_cast<DeleteKeyEx>(reinterpret_cast<void*>(
                                          GetProcAddress(advapi, "RegDeleteKeyExA")))
                                    : nullptr;
    return deleteKeyEx ? deleteKeyEx(root, path, view, 0) : ERROR_CALL_NOT_IMPLEMENTED;
#endif
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

    if (recursive) {
        std::vector<std::string> subKeys;
        DWORD index = 0;
        for (std::string name = EnumSubKey(index); !name.empty(); name = EnumSubKey(index))
            subKeys.push_back(std::move(name));
        // A subkey that cannot be removed stays; the parent's deletion then fails.
        for (const std::string& name : subKeys) {
            RegistryKey child;
            if (child.Open(key_, name, KEY_ALL_ACCESS | view_))
                child.Delete(true);
        }
    }

    const HKEY root = root_;
    const std::string path = path_;
    Close();
    return Remember(DeleteKeyInView(root, path.c_str(), view_));
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
    char name[MAX_PATH + 1] = {};
    DWORD length = sizeof name;
    if (!Remember(RegEnumKeyExA(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr)))
        return std::string();
    ++index;
    return std::string(name, length);
}
