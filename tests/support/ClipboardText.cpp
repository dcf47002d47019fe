#include "ClipboardText.h"

#include <windows.h>

#include <cstring>

namespace {

// Another process (Wine's own clipboard manager among them) may hold the
// clipboard for a moment: try for up to two seconds.
bool OpenTheClipboard()
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (OpenClipboard(nullptr))
            return true;
        Sleep(20);
    }
    return false;
}

}  // namespace

void PutTextOnClipboard(const std::string& text)
{
    if (!OpenTheClipboard())
        return;
    EmptyClipboard();
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
        std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_TEXT, memory))
            GlobalFree(memory);
    }
    CloseClipboard();
}

std::string ClipboardText()
{
    if (!OpenTheClipboard())
        return "<closed>";
    std::string text;
    if (HANDLE memory = GetClipboardData(CF_TEXT)) {
        if (const char* locked = static_cast<const char*>(GlobalLock(memory))) {
            text = locked;
            GlobalUnlock(memory);
        }
    }
    CloseClipboard();
    return text;
}

bool ClipboardIsEmpty()
{
    return CountClipboardFormats() == 0;
}

void EmptyTheClipboard()
{
    if (OpenTheClipboard()) {
        EmptyClipboard();
        CloseClipboard();
    }
}
