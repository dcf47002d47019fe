#pragma once

#include <windows.h>

// Runs a dialog procedure's handling of one message so that no C++ exception
// unwinds through user32, which would end the process: on an exception the
// dialog ends with `endCode`, as after the user's own cancelling.
template <typename Body>
INT_PTR GuardDialogMessage(HWND dialog, INT_PTR endCode, Body&& body) noexcept
{
    try {
        return body();
    } catch (...) {
        EndDialog(dialog, endCode);
        return TRUE;
    }
}
