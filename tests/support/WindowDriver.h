#pragma once

// Doing what a user does with windows, from a test thread while the code
// under test runs its modal dialog on another.

#include "Patience.h"

#include <windows.h>

#include <string>

// The first visible top-level window of the class and title (any process), or
// null after the time-out. A dialog can be found before its initialisation has
// finished; a visible one is ready.
HWND WaitForWindow(const char* className, const char* title, DWORD timeoutMs = kPatienceMs);

// Waits until the window is gone; false after the time-out.
bool WaitForWindowGone(HWND window, DWORD timeoutMs = kPatienceMs);

std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int id);

// Presses a push button (or any command id) of a dialog.
void PressButton(HWND dialog, int id);
// Clicks a check box, as the mouse would.
void ClickCheckBox(HWND dialog, int id);

// Waits for a message box with the caption (any process), notes its text and
// presses the button (IDOK, IDYES, IDNO, ...). Returns the text, or "<none>"
// when no box came within the time-out.
std::string AnswerMessageBox(const char* caption, int button, DWORD timeoutMs = kPatienceMs);

// Polls until the condition holds; false after the time-out.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = kPatienceMs)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}
