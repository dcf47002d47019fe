#pragma once

// The record under a host's Addins key that switches an add-in on: its
// presence with a string "FileName" means on, its absence means off.

#include <windows.h>

#include <string>

// "Software\Microsoft\Office\<officeKey>\Addins\<progId>", under HKEY_CURRENT_USER.
std::string AddinKeyPath(const std::string& officeKey, const std::string& progId);

// The class the ProgID names, in registry form ("{...}"); empty when COM
// cannot tell (the ProgID is not registered, or has no valid CLSID).
std::string AddinClassId(const std::string& progId);

// "CLSID\<classId>\InProcServer32", under HKEY_CLASSES_ROOT: its default
// value is the add-in's file.
std::string AddinServerKeyPath(const std::string& classId);

// The file registered as the ProgID's in-process server, or empty.
std::string GetAddinServerPath(const std::string& progId);

// Writes FileName, FriendlyName, Description, CommandLineSafe and LoadBehavior,
// keeping any other values of the key. S_OK when the key could be created or
// opened, E_FAIL when not.
HRESULT RegisterAddin(const std::string& officeKey, const std::string& progId,
                      const std::string& description, DWORD commandLineSafe,
                      DWORD loadBehavior);

// Deletes the record with its subkeys. E_FAIL when there was none.
HRESULT UnregisterAddin(const std::string& officeKey, const std::string& progId);
