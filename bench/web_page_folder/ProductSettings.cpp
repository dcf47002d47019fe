#include "ProductSettings.h"

#include "RegistryKey.h"

#include <cstdio>

namespace {

const char kScratchParent[] = "Software\\QuillbarBenchScratch";
const char kFolders[] = "Software\\Talvoworks\\TLVO6\\Folders";

}  // namespace

ProductSettings::ProductSettings()
    : scratchPath_(std::string(kScratchParent) + "\\" + std::to_string(GetCurrentProcessId()))
{
    RegistryKey scratch;
    if (!scratch.Create(HKEY_CURRENT_USER, scratchPath_)) {
        std::fprintf(stderr, "ERROR: cannot create HKCU\\%s (%ld)\n", scratchPath_.c_str(),
                     scratch.LastError());
        return;
    }
    const LONG rc = RegOverridePredefKey(HKEY_LOCAL_MACHINE, scratch.Handle());
    if (rc != ERROR_SUCCESS) {
        std::fprintf(stderr, "ERROR: cannot redirect HKEY_LOCAL_MACHINE (%ld)\n", rc);
        return;
    }
    ready_ = true;
}

ProductSettings::~ProductSettings()
{
    if (ready_)
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegistryKey scratch;
    if (scratch.Open(HKEY_CURRENT_USER, scratchPath_, KEY_ALL_ACCESS))
        scratch.Delete(true);
    RegDeleteKeyA(HKEY_CURRENT_USER, kScratchParent);  // only once it is empty
}

bool ProductSettings::SetFolder(const char* name, const std::string& folder) const
{
    RegistryKey key;
    return ready_ && key.Create(HKEY_LOCAL_MACHINE, kFolders, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_ALL_ACCESS | KEY_WOW64_32KEY) &&
           key.SetString(name, folder);
}
