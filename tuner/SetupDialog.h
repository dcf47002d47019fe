#pragma once

// The setup dialog: one check box per Office host, OK, Cancel and Help. OK
// applies the changed boxes through the hosts' installers.

#include <windows.h>

// Runs the dialog modally without owner window. Returns how it ended: 1 after
// applying (or when another setup dialog was already open), 2 when cancelled,
// -1 when it was not shown: another operation of the tuner (an installer, an
// apply, a dialog) runs on this thread, or no window could be made.
INT_PTR ShowSetupDialog();
