#include "HostLock.h"

#include "AddinContract.h"
#include "DialogGuard.h"
#include "ResourceString.h"
#include "TunerResources.h"
#include "UniqueHandle.h"

#include <cstdio>
#include <utility>

namespace {

constexpr UINT_PTR kPollTimer = 0;
constexpr UINT kPollInterval = 500;  // ms

// All the wait needs of an add-in's semaphore: taking counts and giving them
// back. An Office running with other rights may grant no more.
constexpr DWORD kWaitRights = SYNCHRONIZE | SEMAPHORE_MODIFY_STATE;

// What the busy-wait dialog works on; it lives with the dialog's caller.
struct WaitRecord {
    LONG remaining;
    HANDLE semaphore;
    std::string displayName;
    // Set while the semaphore refuses to be opened: every tick tries again.
    const std::string* lockName = nullptr;
    KernelHandle opened;    // the semaphore once a tick could open it
    bool vanished = false;  // it has gone: no add-in holds the host any more
};

enum class Opening { Opened, Missing, Refused };

// Only a semaphore that is there but refuses us may belong to an add-in at
// work. Any other failure means that no add-in's semaphore has that name:
// there is no object of that name, or one of another kind, which any program
// may have made and which can never be an add-in's.
Opening OpenLock(const std::string& name, KernelHandle& semaphore)
{
    semaphore.Reset(OpenSemaphoreA(kWaitRights, FALSE, name.c_str()));
    if (semaphore)
        return Opening::Opened;
    return GetLastError() == ERROR_ACCESS_DENIED ? Opening::Refused : Opening::Missing;
}

bool TakeCountNow(HANDLE semaphore)
{
    return WaitForSingleObject(semaphore, 0) == WAIT_OBJECT_0;
}

void CentreOnDesktop(HWND window)
{
    RECT desktop;
    RECT own;
    GetClientRect(GetDesktopWindow(), &desktop);
    GetWindowRect(window, &own);
    const LONG width = own.right - own.left;
    const LONG height = own.bottom - own.top;
    MoveWindow(window, desktop.left + (desktop.right - desktop.left - width) / 2,
               desktop.top + (desktop.bottom - desktop.top - height) / 2, width, height, TRUE);
}

// The dialog has no owner: the window in front is often a host's, whose
// thread may be busy in the very add-in we wait for, and owning the dialog
// would make us wait for that thread (and lose the dialog with the host).
// It is shown on top of every window instead, but not activated: the user
// may be typing in Word, and an Enter meant for Word would press its only
// button, "Abbrechen", and cancel the whole apply. (Shown already, the modal
// loop does not show and activate it again.)
void ShowOnTopWithoutFocus(HWND window)
{
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// "... in %s gelöscht werden ... in %s." with the display name in both places.
std::string BusyMessage(const std::string& displayName)
{
    const std::string format = LoadResourceString(GetModuleHandleA(nullptr), IDS_HOST_BUSY);
    const int size = std::snprintf(nullptr, 0, format.c_str(), displayName.c_str(),
                                   displayName.c_str());
    if (size < 0)
        return format;
    std::string message(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(message.data(), message.size(), format.c_str(), displayName.c_str(),
                  displayName.c_str());
    message.resize(static_cast<std::size_t>(size));
    return message;
}

INT_PTR HandleMessage(HWND dialog, UINT message, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        auto* record = reinterpret_cast<WaitRecord*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        SetTimer(dialog, kPollTimer, kPollInterval, nullptr);
        SetDlgItemTextA(dialog, IDC_BUSY_MESSAGE, BusyMessage(record->displayName).c_str());
        CentreOnDesktop(dialog);
        ShowOnTopWithoutFocus(dialog);
        return FALSE;  // no focus to a control: that would activate the dialog
    }
    case WM_TIMER: {
        auto* record = reinterpret_cast<WaitRecord*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (!record->semaphore && record->lockName) {
            switch (OpenLock(*record->lockName, record->opened)) {
            case Opening::Missing:
                record->vanished = true;
                EndDialog(dialog, 1);
                return TRUE;
            case Opening::Refused:
                return TRUE;
            case Opening::Opened:
                record->semaphore = record->opened.Get();
                break;
            }
        }
        while (record->remaining > 0 && TakeCountNow(record->semaphore))
            --record->remaining;
        if (record->remaining == 0)
            EndDialog(dialog, 1);
        return TRUE;
    }
    case WM_COMMAND:
        EndDialog(dialog, 1);  // "Abbrechen" or Escape: stop waiting
        return TRUE;
    case WM_DESTROY:
        KillTimer(dialog, kPollTimer);
        return FALSE;
    }
    return FALSE;
}

// A failure inside ends the wait as the user's cancelling does: nothing is
// switched off while the add-in may still be busy.
INT_PTR CALLBACK BusyWaitProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    return GuardDialogMessage(dialog, 1, [&] { return HandleMessage(dialog, message, lParam); });
}

// Until all counts are taken, the semaphore has gone or the user cancels.
void ShowBusyWait(WaitRecord& record)
{
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_BUSY_WAIT), nullptr,
                    BusyWaitProc, reinterpret_cast<LPARAM>(&record));
}

}  // namespace

HostLock::HostLock(HostLock&& other) noexcept
    : state_(other.state_), semaphore_(std::exchange(other.semaphore_, nullptr))
{
    other.state_ = State::NoLock;
}

HostLock& HostLock::operator=(HostLock&& other) noexcept
{
    if (this != &other) {
        ReleaseHostLock(*this);
        state_ = std::exchange(other.state_, State::NoLock);
        semaphore_ = std::exchange(other.semaphore_, nullptr);
    }
    return *this;
}

HostLock::~HostLock()
{
    ReleaseHostLock(*this);
}

LONG WaitForHostIdle(HANDLE semaphore, LONG remaining, const std::string& displayName)
{
    WaitRecord record{remaining, semaphore, displayName, nullptr, KernelHandle(), false};
    ShowBusyWait(record);
    return remaining - record.remaining;
}

HostLock AcquireHostLock(const std::string& shortName, const std::string& displayName)
{
    const std::string name = addin::kSemaphorePrefix + shortName;
    KernelHandle semaphore;
    LONG remaining = addin::kSemaphoreFullCount;
    switch (OpenLock(name, semaphore)) {
    case Opening::Missing:
        return HostLock::NoLock();
    case Opening::Opened:
        while (remaining > 0 && TakeCountNow(semaphore.Get()))
            --remaining;
        if (remaining == 0)
            return HostLock::Held(semaphore.Release());
        break;
    case Opening::Refused:
        // It is there but refuses us: its add-in may be at work, so the
        // host counts as busy until the semaphore opens or goes.
        break;
    }

    WaitRecord record{remaining, semaphore.Get(), std::string(),
                      semaphore ? nullptr : &name, KernelHandle(), false};
    try {
        record.displayName = displayName;
        ShowBusyWait(record);
    } catch (...) {
        // Nothing is left half-taken: handled below as a wait given up.
    }
    if (record.vanished)
        return HostLock::NoLock();
    if (record.opened)
        semaphore = std::move(record.opened);
    if (record.remaining > 0) {
        // Given up: every count taken goes back to the add-in.
        const LONG taken = addin::kSemaphoreFullCount - record.remaining;
        if (taken > 0)
            ReleaseSemaphore(semaphore.Get(), taken, nullptr);
        return HostLock::GivenUp();
    }
    return HostLock::Held(semaphore.Release());
}

void ReleaseHostLock(HostLock& lock)
{
    if (lock.state_ != HostLock::State::Held || !lock.semaphore_)
        return;
    ReleaseSemaphore(lock.semaphore_, addin::kSemaphoreFullCount, nullptr);
    CloseHandle(std::exchange(lock.semaphore_, nullptr));
    lock.state_ = HostLock::State::NoLock;
}
