#include "SetupDialog.h"

#include "HelpTopic.h"
#include "HostDetection.h"
#include "OldGeneration.h"
#include "ResourceString.h"
#include "ScriboGoHome.h"
#include "TunerResources.h"

#include <string>
#include <vector>

namespace {

constexpr INT_PTR kApplied = 1;
constexpr INT_PTR kCancelled = 2;

std::string LoadText(UINT id)
{
    return LoadResourceString(GetModuleHandleA(nullptr), id);
}

// Whether the host may be switched at all: installed, and for FrontPage
// allowed by the installation.
bool CanSwitch(const OfficeHost& host)
{
    return IsHostInstalled(host) && (!host.hasOfferGate || IsFrontPageOffered());
}

// ---------------------------------------------------------------------------
// Initialisation

// A setup dialog that was open before this one is brought forward, and this
// one ends. Top-level windows are searched by this dialog's class and title.
bool HandOverToEarlierDialog(HWND dialog)
{
    char className[69] = {};
    char title[69] = {};
    GetClassNameA(dialog, className, sizeof className);
    GetWindowTextA(dialog, title, sizeof title);
    if (!className[0])
        return false;
    HWND first = FindWindowExA(nullptr, nullptr, className, title);
    HWND second = first ? FindWindowExA(nullptr, first, className, title) : nullptr;
    if (!second)
        return false;
    SetForegroundWindow(second);
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
// Applying

struct HostChange {
    const OfficeHost* host;
    bool was;
    bool want;
    bool changed() const { return was != want; }
};

std::vector<HostChange> ReadChanges(HWND dialog)
{
    std::vector<HostChange> changes;
    for (const OfficeHost& host : kOfficeHosts) {
        const bool installed = IsHostInstalled(host);
        HWND box = GetDlgItem(dialog, host.dialogControlId);
        const bool checked = IsWindowEnabled(box) &&
                             IsDlgButtonChecked(dialog, host.dialogControlId) == BST_CHECKED;
        changes.push_back({&host,
                           installed && IsAddinEnabled(host.officeKey, host.addinProgId),
                           installed && checked});
    }
    return changes;
}

bool ClipboardHoldsData(HWND dialog)
{
    if (!OpenClipboard(dialog))
        return false;
    const bool holds = EnumClipboardFormats(0) != 0;
    CloseClipboard();
    return holds;
}

// Asks before emptying a clipboard that holds something. False when the user
// wants to keep it (nothing is applied then).
bool MayEmptyClipboard(HWND dialog)
{
    if (ClipboardHoldsData(dialog) &&
        MessageBoxA(dialog, LoadText(IDS_CLIPBOARD_WARNING).c_str(),
                    LoadText(IDS_MESSAGE_CAPTION).c_str(),
                    MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDNO)
        return false;
    ClearClipboard(dialog);
    return true;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM children)
{
    reinterpret_cast<std::vector<HWND>*>(children)->push_back(child);
    return TRUE;
}

// The dialog becomes a minimised, top-most progress window without controls
// that cannot be closed.
void BecomeProgressWindow(HWND dialog)
{
    std::vector<HWND> children;
    EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children)
        DestroyWindow(child);
    SetWindowTextA(dialog, LoadText(IDS_PROGRESS_TITLE).c_str());
    SetWindowLongPtrA(dialog, GWL_STYLE, GetWindowLongPtrA(dialog, GWL_STYLE) & ~WS_SYSMENU);
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    InvalidateRect(dialog, nullptr, TRUE);
    ShowWindow(dialog, SW_MINIMIZE);
    UpdateWindow(dialog);

    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the loop it was meant for
            break;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// True when the dialog is to close.
bool ApplyChoices(HWND dialog, const ApplyOperations& operations)
{
    if (DeactivateOldVersion())
        return true;

    const std::vector<HostChange> changes = ReadChanges(dialog);
    bool clipboardAtStake = false;
    for (const HostChange& change : changes)
        clipboardAtStake |= change.changed() && change.host->touchesClipboard;
    if (clipboardAtStake && !MayEmptyClipboard(dialog))
        return false;

    BecomeProgressWindow(dialog);

    for (const HostChange& change : changes) {
        const OfficeHost& host = *change.host;
        if (!change.changed() || (host.hasOfferGate && !IsFrontPageOffered()))
            continue;
        // Only switching off needs the add-in to be idle.
        HostLock lock = change.want ? HostLock::NoLock() : operations.acquireLock(host);
        if (lock.state() == HostLock::State::GivenUp)
            return true;
        operations.install(host, change.want);
        if (host.touchesClipboard && change.want)
            ClearClipboard(dialog);
        ReleaseHostLock(lock);
    }
    return true;
}

struct DialogState {
    const ApplyOperations* operations;
};

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kScriboGoHome) {
        EndDialog(dialog, kCancelled);
        return FALSE;
    }
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        Initialise(dialog);
        return TRUE;
    case WM_COMMAND: {
        const auto* operations =
            reinterpret_cast<const ApplyOperations*>(GetWindowLongPtrA(dialog, DWLP_USER));
        switch (LOWORD(wParam)) {
        case IDOK:
            if (ApplyChoices(dialog, *operations))
                EndDialog(dialog, kApplied);
            break;
        case IDCANCEL:
            EndDialog(dialog, kCancelled);
            break;
        case IDC_HELP_BUTTON:
            ShowHelpTopic(kSetupHelpTopic);
            break;
        }
        return TRUE;
    }
    }
    return FALSE;
}

}  // namespace

const ApplyOperations& ProductionApplyOperations()
{
    static const ApplyOperations operations{
        [](const OfficeHost& host, bool enable) { return host.install(enable); },
        [](const OfficeHost& host) { return AcquireHostLock(host.officeKey, host.displayName); }};
    return operations;
}

INT_PTR ShowSetupDialog()
{
    return ShowSetupDialog(ProductionApplyOperations());
}

INT_PTR ShowSetupDialog(const ApplyOperations& operations)
{
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETUP), nullptr,
                           SetupDialogProc, reinterpret_cast<LPARAM>(&operations));
}

void ClearClipboard(HWND window)
{
    if (!OpenClipboard(window))
        return;
    EmptyClipboard();
    CloseClipboard();
}
