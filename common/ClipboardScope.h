#pragma once

// The clipboard, opened for a window (or for none) for as long as this
// lives. Another program may hold the clipboard for a moment, Wine's own
// clipboard manager after every change among them: opening is tried for up
// to two seconds before the clipboard counts as held by someone else. The
// thread handles its messages meanwhile.

#include <windows.h>

class ClipboardScope {
public:
    explicit ClipboardScope(HWND owner);
    ~ClipboardScope();
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;

    bool IsOpen() const { return open_; }

private:
    bool open_;
};
