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
// independent of the code under test. `view` (KEY_WOW64_32KEY or
// KEY_WOW64_64KEY) names a registry view; 0 is the test program's own.
namespace reg {

struct Value {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    std::string Text() const;  // data up to the first zero byte
};

void CreateKey(HKEY root, const std::string& path, REGSAM view = 0);
void SetValue(HKEY root, const std::string& path, const char* name, DWORD type,
              const void* data, DWORD size, REGSAM view = 0);
void SetString(HKEY root, const std::string& path, const char* name, const std::string& text,
               REGSAM view = 0);
void SetDword(HKEY root, const std::string& path, const char* name, DWORD value,
              REGSAM view = 0);
bool KeyExists(HKEY root, const std::string& path, REGSAM view = 0);
std::optional<Value> GetValue(HKEY root, const std::string& path, const char* name,
                              REGSAM view = 0);
std::vector<std::string> ValueNames(HKEY root, const std::string& path);
// Deletes one value of the key, when both are there.
void DeleteValue(HKEY root, const std::string& path, const char* name, REGSAM view = 0);
// Deletes the key with everything below it; a link goes as itself, never its
// target.
void DeleteTree(HKEY root, const std::string& path, REGSAM view = 0);

// A symbolic link at HKEY_CURRENT_USER\<path> to HKEY_CURRENT_USER\<target>
// (the real ones, not a scratch key): opening the link opens the target.
bool CreateLink(const std::string& path, const std::string& target);
// Whether the key at that path is there as itself (a link is not followed).
bool LinkExists(const std::string& path);

}  // namespace reg
