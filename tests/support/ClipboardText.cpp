#include "ClipboardText.h"

#include <windows.h>

#include <cstring>

void PutTextOnClipboard(const std::string& text)
{
    if (!OpenClipboard(nullptr))
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
    if (!OpenClipboard(nullptr))
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
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}
