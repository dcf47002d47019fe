#include "DialogApply.h"

#include "HostOperations.h"
#include "OfficeHost.h"
#include "SetupDialogWindow.h"
#include "WindowDriver.h"

#include <atomic>
#include "Thread.h"

namespace bench {

namespace {

void EmptyTheClipboard()
{
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

}  // namespace

bool ApplyEveryHostThroughTheDialog()
{
    std::atomic<bool> played{false};
    Thread user;
    const bool started = user.Start([&] {
        HWND dialog = WaitForWindow("#32770", "Quillbar");
        if (!dialog)
            return;
        for (const OfficeHost& host : kOfficeHosts)
            ClickCheckBox(dialog, host.dialogControlId);
        EmptyTheClipboard();
        PressButton(dialog, IDOK);
        if (WaitForWindowGone(dialog, 30000))
            played = true;
        else
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    if (!started)
        return false;
    RunSetupDialog(ProductionHostOperations());
    user.Join();
    return played;
}

}  // namespace bench
