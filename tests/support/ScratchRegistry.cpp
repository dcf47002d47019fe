#include "ScratchRegistry.h"

#include <sddl.h>

#include <gtest/gtest.h>

#include <atomic>

namespace {

constexpr char kScratchParent[] = "Software\\QuillbarTestScratch";

std::string UniqueScratchPath()
{
    static std::atomic<int> counter{0};
    return std::string(kScratchParent) + "\\" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++counter);
}

struct RootInfo {
    unsigned flag;
    HKEY predefined;
    const char* name;
};

const RootInfo kRoots[] = {
    {ScratchRegistry::kClassesRoot, HKEY_CLASSES_ROOT, "HKCR"},
    {ScratchRegistry::kCurrentUser, HKEY_CURRENT_USER, "HKCU"},
    {ScratchRegistry::kLocalMachine, HKEY_LOCAL_MACHINE, "HKLM"},
};

}  // namespace

ScratchRegistry::ScratchRegistry(unsigned roots) : basePath_(UniqueScratchPath())
{
    for (const RootInfo& root : kRoots) {
        if (!(roots & root.flag))
            continue;
        HKEY scratch = nullptr;
        const std::string path = basePath_ + "\\" + root.name;
        LONG rc = ERROR_KEY_DELETED;
        // Another test program may delete the shared parent key just as this
        // one creates a key below it; then creating again succeeds.
        for (int attempt = 0; attempt < 10 && rc == ERROR_KEY_DELETED; ++attempt)
            rc = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                 nullptr, &scratch, nullptr);
        if (rc != ERROR_SUCCESS) {
            ADD_FAILURE() << "cannot create scratch key " << path << ": " << rc;
            continue;
        }
        rc = RegOverridePredefKey(root.predefined, scratch);
        RegCloseKey(scratch);
        if (rc != ERROR_SUCCESS) {
            ADD_FAILURE() << "cannot redirect " << root.name << ": " << rc;
            continue;
        }
        overridden_.push_back(root.predefined);
    }
}

ScratchRegistry::~ScratchRegistry()
{
    for (HKEY predefined : overridden_)
        RegOverridePredefKey(predefined, nullptr);
    reg::DeleteTree(HKEY_CURRENT_USER, basePath_);
    RegDeleteKeyA(HKEY_CURRENT_USER, kScratchParent);  // only once it is empty
}

namespace reg {

std::string Value::Text() const
{
    std::string text(data.begin(), data.end());
    return text.substr(0, text.find('\0'));
}

void CreateKey(HKEY root, const std::string& path, REGSAM view)
{
    HKEY key = nullptr;
    const LONG rc = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view,
                                    nullptr, &key, nullptr);
    ASSERT_EQ(rc, ERROR_SUCCESS) << "creating " << path;
    RegCloseKey(key);
}

void SetValue(HKEY root, const std::string& path, const char* name, DWORD type,
              const void* data, DWORD size, REGSAM view)
{
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                              &key, nullptr);
    ASSERT_EQ(rc, ERROR_SUCCESS) << "creating " << path;
    rc = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    ASSERT_EQ(rc, ERROR_SUCCESS) << "writing " << path << " " << (name ? name : "(default)");
}

void SetString(HKEY root, const std::string& path, const char* name, const std::string& text,
               REGSAM view)
{
    SetValue(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1), view);
}

void SetDword(HKEY root, const std::string& path, const char* name, DWORD value, REGSAM view)
{
    SetValue(root, path, name, REG_DWORD, &value, sizeof value, view);
}

void DeleteValue(HKEY root, const std::string& path, const char* name, REGSAM view)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_SET_VALUE | view, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

bool KeyExists(HKEY root, const std::string& path, REGSAM view)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::optional<Value> GetValue(HKEY root, const std::string& path, const char* name, REGSAM view)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return std::nullopt;
    Value value;
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        value.data.resize(size);
        rc = RegQueryValueExA(key, name, nullptr, &value.type, value.data.data(), &size);
        value.data.resize(size);
    }
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

std::vector<std::string> ValueNames(HKEY root, const std::string& path)
{
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        char name[16384];
        DWORD length = sizeof name;
        if (RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    return names;
}

// (RegDeleteTree, which does this, came only with Windows Vista, and the
// headers are those of Windows XP.)
void DeleteTree(HKEY root, const std::string& path, REGSAM view)
{
    // Each key is opened as itself, so that a symbolic link goes as one key
    // and its target stays (NtDeleteKey: RegDeleteKey would follow the link).
    using DeleteKey = LONG(WINAPI*)(HANDLE);
    static const auto deleteKey = reinterpret_cast<DeleteKey>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey")));
    HKEY key = nullptr;
    if (!deleteKey || RegOpenKeyExA(root, path.c_str(), REG_OPTION_OPEN_LINK,
                                    KEY_ENUMERATE_SUB_KEYS | DELETE | view, &key) != ERROR_SUCCESS)
        return;
    std::vector<std::string> children;
    char name[256];
    for (DWORD index = 0, length = sizeof name;
         RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
         ++index, length = sizeof name)
        children.emplace_back(name, length);
    for (const std::string& child : children)
        DeleteTree(root, path + "\\" + child, view);
    deleteKey(key);
    RegCloseKey(key);
}

}  // namespace reg

namespace reg {

namespace {

// "\Registry\User\<SID>", where the registry keeps this user's HKEY_CURRENT_USER.
std::wstring CurrentUserRoot()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return std::wstring();
    std::vector<BYTE> buffer(256);
    DWORD size = 0;
    const bool read = GetTokenInformation(token, TokenUser, buffer.data(),
                                          static_cast<DWORD>(buffer.size()), &size);
    CloseHandle(token);
    LPWSTR sid = nullptr;
    if (!read || !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid,
                                         &sid))
        return std::wstring();
    std::wstring root = L"\\Registry\\User\\" + std::wstring(sid);
    LocalFree(sid);
    return root;
}

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());  // the tests' key names are ASCII
}

}  // namespace

bool CreateLink(const std::string& path, const std::string& target)
{
    const std::wstring user = CurrentUserRoot();
    if (user.empty())
        return false;
    HKEY link = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, nullptr,
                        REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                        KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, &link, nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring destination = user + L"\\" + Wide(target);
    const LONG set = RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK,
                                    reinterpret_cast<const BYTE*>(destination.data()),
                                    static_cast<DWORD>(destination.size() * sizeof(wchar_t)));
    RegCloseKey(link);
    return set == ERROR_SUCCESS;
}

bool LinkExists(const std::string& path)
{
    HKEY link = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), REG_OPTION_OPEN_LINK, KEY_READ,
                      &link) != ERROR_SUCCESS)
        return false;
    RegCloseKey(link);
    return true;
}

}  // namespace reg
