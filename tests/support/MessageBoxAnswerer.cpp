#include "MessageBoxAnswerer.h"

#include "WindowDriver.h"

#include <chrono>
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
    : caption_(std::move(caption)), watcher_([this] { Watch(); })
{
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    stop_ = true;
    watcher_.join();
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
            std::lock_guard<std::mutex> guard(lock_);
            seen_.push_back(std::move(seen));
        }
        changed_.notify_all();
    }
}

std::vector<SeenMessageBox> MessageBoxAnswerer::WaitFor(size_t count, DWORD timeoutMs)
{
    std::unique_lock<std::mutex> guard(lock_);
    changed_.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                      [&] { return seen_.size() >= count; });
    return seen_;
}

std::vector<SeenMessageBox> MessageBoxAnswerer::Seen()
{
    std::lock_guard<std::mutex> guard(lock_);
    return seen_;
}
