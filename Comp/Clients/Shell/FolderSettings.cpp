#include "FolderSettings.h"

#include "PathHelpers.h"
#include "RegistryKey.h"
#include "RegistryViews.h"

std::string ReadFolderSetting(const char* name)
{
    std::string folder;
    RegistryKey key;
    // Written by the product's 32-bit installation: both libraries read the
    // same folders.
    if (key.Open(HKEY_LOCAL_MACHINE, kFolderSettingsKey, KEY_READ | kInstallationView))
        folder = key.QueryString(name, std::string());
    key.Close();
    EnsureTrailingSeparator(folder);
    return folder;
}
