#include "WindowDriver.h"

HWND WaitForWindow(const char* className, const char* title, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window = FindWindowExA(nullptr, nullptr, className, title); window;
                 window = FindWindowExA(nullptr, window, className, title)) {
                if (IsWindowVisible(window)) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs)
{
    return WaitUntil([&] { return !IsWindow(window); }, timeoutMs);
}

// WM_GETTEXT reaches controls of other threads and processes alike.
std::string WindowText(HWND window)
{
    char text[4096] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_NORMAL, kPatienceMs, &copied);
    return text;
}

std::string ControlText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

void PressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void ClickCheckBox(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::string AnswerMessageBox(const char* caption, int button, DWORD timeoutMs)
{
    HWND box = WaitForWindow("#32770", caption, timeoutMs);
    if (!box)
        return "<none>";
    const std::string text = ControlText(box, 0xFFFF);  // a message box's text control
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    WaitForWindowGone(box, timeoutMs);
    return text;
}
