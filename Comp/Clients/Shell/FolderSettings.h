#pragma once

#include <string>

// Where the product's installation records its folders, under HKEY_LOCAL_MACHINE.
inline constexpr char kFolderSettingsKey[] = "Software\\Talvoworks\\TLVO6\\Folders";

// A folder the product's installation recorded under
// HKEY_LOCAL_MACHINE\Software\Talvoworks\TLVO6\Folders ("Setup", "Root") of
// the 32-bit registry view, where its 32-bit installer writes them, with
// a trailing separator; empty when the key or the value is missing.
std::string ReadFolderSetting(const char* name);
