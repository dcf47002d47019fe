#pragma once

// Windows 95, 98 or Me (no security, no privileges there).
bool IsWindows9x();

// Enables (or takes back) one privilege of this process's token. True when
// the adjustment call succeeded, which a privilege the account does not hold
// does not prevent. Always true on Windows 9x.
bool EnablePrivilege(const char* name, bool enable);
