// The setup dialog's window: its initial state and layout, and its messages.
// What OK does is the apply flow's (ApplyFlow.h).

#include "SetupDialogWindow.h"

#include "ApplyFlow.h"
#include "BusyState.h"
#include "DialogGuard.h"
#include "HelpTopic.h"
#include "HostDetection.h"
#include "MessageWait.h"
#include "ResourceString.h"
#include "ScriboGoHome.h"
#include "SetupDialog.h"
#include "TunerResources.h"

#include <string>
#include <vector>

namespace {

constexpr INT_PTR kApplied = 1;
constexpr INT_PTR kCancelled = 2;
constexpr INT_PTR kNotShown = -1;

// Whether the host may be switched at all: installed, and for FrontPage
// allowed by the installation.
bool CanSwitch(const OfficeHost& host)
{
    return IsHostInstalled(host) && (!host.hasOfferGate || IsFrontPageOffered());
}

// ---------------------------------------------------------------------------
// Initial state and layout

// A setup dialog that was open before this one is brought forward, and this
// one ends. Top-level windows are searched by this dialog's class and title,
// and by the progress window's title: a dialog that applies is one too.
bool HandOverToEarlierDialog(HWND dialog)
{
    char className[69] = {};
    char title[69] = {};
    GetClassNameA(dialog, className, sizeof className);
    GetWindowTextA(dialog, title, sizeof title);
    if (!className[0])
        return false;
    HWND first = FindWindowExA(nullptr, nullptr, className, title);
    HWND earlier = first ? FindWindowExA(nullptr, first, className, title) : nullptr;
    if (!earlier) {
        const std::string progressTitle =
            LoadResourceString(GetModuleHandleA(nullptr), IDS_PROGRESS_TITLE);
        earlier = FindWindowExA(nullptr, nullptr, className, progressTitle.c_str());
    }
    if (!earlier)
        return false;
    SetForegroundWindow(earlier);
    return true;
}

RECT ClientRectOf(HWND dialog, HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// With one host on offer, its box takes the Word box's place, the others go,
// and the dialog ends 12 pixels below the Help button. Returns the height.
int ShowOnlyOneBox(HWND dialog, int offeredBox)
{
    const RECT top = ClientRectOf(dialog, GetDlgItem(dialog, IDC_WORD_BOX));
    HWND box = GetDlgItem(dialog, offeredBox);
    RECT own;
    GetWindowRect(box, &own);
    MoveWindow(box, top.left, top.top, own.right - own.left, own.bottom - own.top, TRUE);
    for (const OfficeHost& host : kOfficeHosts)
        if (host.dialogControlId != offeredBox)
            ShowWindow(GetDlgItem(dialog, host.dialogControlId), SW_HIDE);

    RECT help;
    RECT window;
    GetWindowRect(GetDlgItem(dialog, IDC_HELP_BUTTON), &help);
    GetWindowRect(dialog, &window);
    return help.bottom - window.top + 12;
}

// Centred in the owner's client area, or the desktop's.
void Centre(HWND dialog, int height)
{
    HWND parent = GetParent(dialog);
    RECT area;
    GetClientRect(parent ? parent : GetDesktopWindow(), &area);
    RECT window;
    GetWindowRect(dialog, &window);
    const int width = window.right - window.left;
    MoveWindow(dialog, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, width, height, TRUE);
}

void Initialise(HWND dialog)
{
    if (HICON icon = LoadIconA(GetModuleHandleA(nullptr), IDI_MAINICON_NAME))
        SetClassLongPtrA(dialog, GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));

    if (HandOverToEarlierDialog(dialog))
        EndDialog(dialog, kApplied);  // the rest still runs, as for any dialog

    int offered = 0;
    int lastOfferedBox = 0;
    for (HostId id : kHostsExcelFirst) {
        const OfficeHost& host = Host(id);
        if (!IsHostOffered(host.code))
            continue;
        ++offered;
        lastOfferedBox = host.dialogControlId;
        if (CanSwitch(host)) {
            EnableWindow(GetDlgItem(dialog, host.dialogControlId), TRUE);
            CheckDlgButton(dialog, host.dialogControlId,
                           IsAddinEnabled(host.officeKey, host.addinProgId) ? BST_CHECKED
                                                                            : BST_UNCHECKED);
        }
    }

    RECT window;
    GetWindowRect(dialog, &window);
    int height = window.bottom - window.top;
    if (offered == 1)
        height = ShowOnlyOneBox(dialog, lastOfferedBox);
    Centre(dialog, height);
}

// ---------------------------------------------------------------------------
// The window as the apply flow sees it

BOOL CALLBACK CollectChild(HWND child, LPARAM children)
{
    reinterpret_cast<std::vector<HWND>*>(children)->push_back(child);
    return TRUE;
}

class SetupWindow final : public ApplyWindow {
public:
    explicit SetupWindow(HostOperations& operations) : flow(operations) {}

    HWND Handle() const override { return dialog; }

    bool Wants(const OfficeHost& host) const override
    {
        HWND box = GetDlgItem(dialog, host.dialogControlId);
        return IsWindowEnabled(box) &&
               IsDlgButtonChecked(dialog, host.dialogControlId) == BST_CHECKED;
    }

    // A minimised, top-most window without controls that cannot be closed;
    // then every message already waiting is handled.
    void BecomeProgressWindow() override
    {
        std::vector<HWND> children;
        EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&children));
        for (HWND child : children)
            DestroyWindow(child);
        SetWindowTextA(dialog,
                       LoadResourceString(GetModuleHandleA(nullptr), IDS_PROGRESS_TITLE).c_str());
        SetWindowLongPtrA(dialog, GWL_STYLE, GetWindowLongPtrA(dialog, GWL_STYLE) & ~WS_SYSMENU);
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        InvalidateRect(dialog, nullptr, TRUE);
        ShowWindow(dialog, SW_MINIMIZE);
        UpdateWindow(dialog);

        HandleWaitingMessages();
    }

    HWND dialog = nullptr;
    ApplyFlow flow;
};

// ---------------------------------------------------------------------------
// Messages

INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* window = reinterpret_cast<SetupWindow*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (message == kScriboGoHome) {
        if (!window || window->flow.Cancel())
            EndDialog(dialog, kCancelled);
        return FALSE;
    }
    switch (message) {
    case WM_INITDIALOG:
        window = reinterpret_cast<SetupWindow*>(lParam);
        window->dialog = dialog;
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        Initialise(dialog);
        return TRUE;
    case WM_COMMAND:
        if (!window)
            return TRUE;
        switch (LOWORD(wParam)) {
        case IDOK:
            switch (window->flow.Apply(*window)) {
            case ApplyOutcome::Done:
                EndDialog(dialog, kApplied);
                break;
            case ApplyOutcome::Cancelled:
                EndDialog(dialog, kCancelled);
                break;
            case ApplyOutcome::StayOpen:
            case ApplyOutcome::Ignored:
                break;
            }
            break;
        case IDCANCEL:  // also Escape and the close command
            if (window->flow.Cancel())
                EndDialog(dialog, kCancelled);
            break;
        case IDC_HELP_BUTTON:
            ShowHelpTopic(kSetupHelpTopic);
            break;
        }
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return GuardDialogMessage(dialog, kCancelled,
                              [&] { return HandleMessage(dialog, message, wParam, lParam); });
}

}  // namespace

INT_PTR RunSetupDialog(HostOperations& operations)
{
    const busy::Operation operation;
    if (!operation.Started())
        return kNotShown;
    SetupWindow window(operations);
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETUP), nullptr,
                           SetupDialogProc, reinterpret_cast<LPARAM>(&window));
}

INT_PTR ShowSetupDialog()
{
    return RunSetupDialog(ProductionHostOperations());
}
