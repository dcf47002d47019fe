#pragma once

#include <windows.h>

#include <string>

// Starts the translator through its automation server and hands it the file,
// named exactly as given.
// S_OK when every step succeeded; E_FAIL for any failure on the way (server
// not registered or not startable, a failing call, no file-opening object, no
// memory), with everything obtained so far released.
HRESULT LaunchTranslator(const std::wstring& path);
