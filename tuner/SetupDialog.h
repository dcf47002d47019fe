#pragma once

// The setup dialog: one check box per Office host, OK, Cancel and Help. OK
// applies the changed boxes through the hosts' installers.

#include "HostLock.h"
#include "OfficeHost.h"

#include <windows.h>

#include <functional>

// What applying a changed box does to a host. The production operations call
// the host's installer and AcquireHostLock.
struct ApplyOperations {
    std::function<int(const OfficeHost& host, bool enable)> install;
    std::function<HostLock(const OfficeHost& host)> acquireLock;
};

const ApplyOperations& ProductionApplyOperations();

// Runs the dialog modally without owner window. Returns how it ended: 1 after
// applying (or when another setup dialog was already open), 2 when cancelled.
INT_PTR ShowSetupDialog();
INT_PTR ShowSetupDialog(const ApplyOperations& operations);

// Opens the clipboard for the window and empties it; nothing when it is held
// by someone else.
void ClearClipboard(HWND window);
