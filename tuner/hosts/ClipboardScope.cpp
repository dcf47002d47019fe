#include "ClipboardScope.h"

namespace {

constexpr int kAttempts = 100;
constexpr DWORD kPauseMs = 20;

bool OpenPatiently(HWND owner)
{
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (OpenClipboard(owner))
            return true;
        Sleep(kPauseMs);
    }
    return false;
}

}  // namespace

ClipboardScope::ClipboardScope(HWND owner) : open_(OpenPatiently(owner)) {}

ClipboardScope::~ClipboardScope()
{
    if (open_)
        CloseClipboard();
}
