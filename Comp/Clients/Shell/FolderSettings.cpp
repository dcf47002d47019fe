#include "FolderSettings.h"

#include "PathHelpers.h"
#include "RegistryKey.h"

std::string ReadFolderSetting(const char* name)
{
    std::string folder;
    RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, "Software\\Talvoworks\\TLVO6\\Folders", KEY_READ))
        folder = key.QueryString(name, std::string());
    key.Close();
    EnsureTrailingSeparator(folder);
    return folder;
}
