#pragma once

#include <windows.h>

#include <string>

// The product's folder settings as its installation writes them
// (HKEY_LOCAL_MACHINE\Software\Talvoworks\TLVO6\Folders, 32-bit view), in a
// registry of this process's own: while it lives, HKEY_LOCAL_MACHINE of this
// process leads to a fresh key under HKEY_CURRENT_USER, which is deleted
// afterwards, so that nothing another program of the prefix reads changes.
class ProductSettings {
public:
    ProductSettings();
    ~ProductSettings();
    ProductSettings(const ProductSettings&) = delete;
    ProductSettings& operator=(const ProductSettings&) = delete;

    bool Ready() const { return ready_; }
    bool SetFolder(const char* name, const std::string& folder) const;

private:
    std::string scratchPath_;  // under HKEY_CURRENT_USER
    bool ready_ = false;
};
