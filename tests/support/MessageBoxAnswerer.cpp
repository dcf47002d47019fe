#include "MessageBoxAnswerer.h"

#include "WindowDriver.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

const int kMessageTextId = 0xFFFF;  // the static control holding a message box's text

BOOL CALLBACK FindIcon(HWND child, LPARAM found)
{
    char className[32] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0 &&
        (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HICON*>(found) =
            reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        return FALSE;
    }
    return TRUE;
}

}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer(std::string caption)
    : caption_(std::move(caption))
{
    if (!watcher_.Start([this] { Watch(); }))
        ADD_FAILURE() << "no thread to answer message boxes";
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    stop_ = true;
    watcher_.Join();
}

void MessageBoxAnswerer::Watch()
{
    while (!stop_) {
        AnswerVisibleBoxes();
        Sleep(10);
    }
}

void MessageBoxAnswerer::AnswerVisibleBoxes()
{
    for (auto box = answered_.begin(); box != answered_.end();)
        box = IsWindow(*box) ? std::next(box) : answered_.erase(box);
    for (HWND box = FindWindowExA(nullptr, nullptr, "#32770", caption_.c_str()); box;
         box = FindWindowExA(nullptr, box, "#32770", caption_.c_str())) {
        // A dialog can be found before it is ready; a visible one is.
        if (!IsWindowVisible(box) || answered_.count(box))
            continue;
        SeenMessageBox seen;
        seen.text = ControlText(box, kMessageTextId);
        EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&seen.icon));
        answered_.insert(box);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(box, WM_COMMAND, IDOK, 0, SMTO_NORMAL, kPatienceMs, &ignored);
        {
            std::lock_guard<ExclusiveLock> guard(lock_);
            seen_.push_back(std::move(seen));
        }
        changed_.Set();
    }
}

std::vector<SeenMessageBox> MessageBoxAnswerer::WaitFor(size_t count, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD waited = 0;
        {
            std::lock_guard<ExclusiveLock> guard(lock_);
            waited = GetTickCount() - start;
            if (seen_.size() >= count || waited >= timeoutMs)
                return seen_;
        }
        changed_.Wait(timeoutMs - waited);
    }
}

std::vector<SeenMessageBox> MessageBoxAnswerer::Seen()
{
    std::lock_guard<ExclusiveLock> guard(lock_);
    return seen_;
}
