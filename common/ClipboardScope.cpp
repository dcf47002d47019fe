#include "ClipboardScope.h"

#include "MessageWait.h"

namespace {

constexpr int kAttempts = 100;
constexpr DWORD kPauseMs = 20;

// Between attempts the thread handles its messages, as it does whenever it
// waits: calls into the server and the setup dialog's own messages are not
// held up for the two seconds the attempts may take. A quit message ends the
// attempts.
bool OpenPatiently(HWND owner)
{
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (OpenClipboard(owner))
            return true;
        if (!WaitHandlingMessages(kPauseMs))
            return false;
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
