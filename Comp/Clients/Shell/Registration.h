#pragma once

#include <windows.h>

// Self-registration of the library: the registration scripts of the class
// table and the type library.

// Runs each class's script in table order, stopping at the first failure (a
// script that fails part-way is undone as UnregisterServer removes it, so
// that the keys the other bitness's library shares stay); then registers the
// type library.
HRESULT RegisterServer();

// Removes what each class's script writes and unregisters the type library
// (this platform's registration of it). While the library of the other
// bitness still registers a class in the other registry view, only the
// class's own keys in this view go: its ProgIDs and the context-menu handler
// key, which both views share, stay for the other library. Failures of single
// deletions are not reported.
HRESULT UnregisterServer();
