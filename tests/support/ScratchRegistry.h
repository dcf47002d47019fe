#pragma once

// Gives a test an empty registry: while a ScratchRegistry lives, this
// process's HKEY_CLASSES_ROOT, HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE (those
// asked for) lead to fresh scratch keys, which are deleted afterwards. COM's
// own look-ups (ProgIDs, class registrations) do not follow the redirection;
// tests that need them register in the prefix's real keys instead.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

class ScratchRegistry {
public:
    enum Roots : unsigned {
        kClassesRoot = 1,
        kCurrentUser = 2,
        kLocalMachine = 4,
        kAllRoots = kClassesRoot | kCurrentUser | kLocalMachine,
    };

    explicit ScratchRegistry(unsigned roots = kAllRoots);
    ~ScratchRegistry();
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

private:
    std::string basePath_;  // under the real HKEY_CURRENT_USER
    std::vector<HKEY> overridden_;
};

// Plain Win32 writes and reads for arranging and checking registry state,
// independent of the code under test.
namespace reg {

struct Value {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    std::string Text() const;  // data up to the first zero byte
};

void CreateKey(HKEY root, const std::string& path);
void SetValue(HKEY root, const std::string& path, const char* name, DWORD type,
              const void* data, DWORD size);
void SetString(HKEY root, const std::string& path, const char* name, const std::string& text);
void SetDword(HKEY root, const std::string& path, const char* name, DWORD value);
bool KeyExists(HKEY root, const std::string& path);
std::optional<Value> GetValue(HKEY root, const std::string& path, const char* name);
std::vector<std::string> ValueNames(HKEY root, const std::string& path);
void DeleteTree(HKEY root, const std::string& path);

}  // namespace reg
