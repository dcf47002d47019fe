#pragma once

// The main window of a running Office application: a real top-level window
// of the application's window class (Word's is "OpusApp"), for as long as
// this lives. Made and destroyed on the thread that owns it. Under Wine
// without a window manager, destroying a shown window waits about two
// seconds for the X server; a hidden one goes at once and can still be
// found and brought to the foreground.

#include <windows.h>

#include <string>

namespace standin {

class HostWindow {
public:
    HostWindow(const std::string& className, const std::string& title, bool shown = true);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND Handle() const { return window_; }

private:
    HWND window_ = nullptr;
};

// Runs the calling thread's pending window messages.
void PumpMessages();

}  // namespace standin
