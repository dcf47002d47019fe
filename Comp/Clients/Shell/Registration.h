#pragma once

#include <windows.h>

// Self-registration of the library: the registration scripts of the class
// table and the type library.

// Runs each class's script in table order, stopping at the first failure (a
// script that fails part-way has undone itself); then registers the type
// library.
HRESULT RegisterServer();

// Removes what each class's script writes and unregisters the type library.
// Failures of single deletions are not reported.
HRESULT UnregisterServer();
