#pragma once

// Reading registry values whole, with their types, and naming keys and
// values the way the report shows them ("HKCU\Software\...  [LoadBehavior]").

#include "RegistryKey.h"
#include "RegistryViews.h"

#include <windows.h>

#include <string>
#include <vector>

// This program is 32-bit, like Office 2000-2003: its own view of HKLM\Software
// and HKCR\CLSID is the one Office reads (kInstallationView). On 64-bit
// Windows there is a second, 64-bit view, read with this flag.
inline constexpr REGSAM k64BitView = KEY_WOW64_64KEY;

// The machine has two registry views (64-bit Windows).
bool HasTwoRegistryViews();

struct RegistryValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;

    bool IsText() const { return present && (type == REG_SZ || type == REG_EXPAND_SZ); }
    bool IsNumber() const { return present && type == REG_DWORD && data.size() == sizeof(DWORD); }
    std::string Text() const;  // the data up to its first zero byte
    DWORD Number() const;      // 0 unless IsNumber()
    // For people: "\"C:\\...\" (REG_SZ)", "3 (REG_DWORD)", "REG_BINARY, 4 Bytes".
    std::wstring Describe() const;
};

// The value with its type and all its data; not present when missing or unreadable.
RegistryValue ReadValue(const RegistryKey& key, const char* name);

// Names of all values of the key, in the registry's order ("" is the default value).
std::vector<std::string> ValueNames(const RegistryKey& key);

// "REG_SZ", "REG_DWORD", ..., "Typ 42".
std::wstring TypeName(DWORD type);

// "HKLM\Software\...", with the view named where the machine has two and the
// key lies in a part of the registry that has two.
std::wstring KeyName(HKEY root, const std::string& path, REGSAM view = 0);
// The key's name followed by the value's in brackets; the default value is "(Standard)".
std::wstring ValueName(HKEY root, const std::string& path, const char* value, REGSAM view = 0);

// A registry text for a report line: in quotes, control characters shown as
// "\xNN", and very long texts shortened with their length named.
std::wstring Quoted(const std::string& text);
