#pragma once

// The setup dialog's window with the host operations its apply works
// through (ShowSetupDialog passes the production ones).

#include "HostOperations.h"

#include <windows.h>

// As ShowSetupDialog.
INT_PTR RunSetupDialog(HostOperations& operations);
