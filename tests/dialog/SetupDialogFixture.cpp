#include "SetupDialogFixture.h"

#include "AddinRecord.h"
#include "ClipboardText.h"
#include "OfficeInstallation.h"
#include "TestThread.h"
#include "WindowDriver.h"

BoxState ReadBox(HWND dialog, int id)
{
    HWND box = GetDlgItem(dialog, id);
    BoxState state;
    state.enabled = IsWindowEnabled(box) != FALSE;
    state.visible = (GetWindowLongA(box, GWL_STYLE) & WS_VISIBLE) != 0;
    state.checked = SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
    GetWindowRect(box, &state.rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&state.rect), 2);
    return state;
}

int SetupDialogTest::RecordingOperations::Install(const OfficeHost& host, bool enable)
{
    return test_.install_(host, enable);
}

HostLock SetupDialogTest::RecordingOperations::AcquireLock(const OfficeHost& host)
{
    return ProductionHostOperations().AcquireLock(host);
}

SetupDialogTest::SetupDialogTest()
{
    // A clipboard question comes only where a test puts something there.
    EmptyTheClipboard();
    install_ = [this](const OfficeHost& host, bool enable) {
        std::string event = std::string(host.officeKey) + (enable ? " on" : " off");
        const auto semaphore = semaphores_.find(IdOf(host));
        if (semaphore != semaphores_.end() && semaphore->second->Free() == 0)
            event += " (locked)";
        installs_.push_back(event);
        return 1;
    };
}

void SetupDialogTest::Install(HostId id)
{
    standin::SimulateInstallation(Host(id).officeKey, "10.0");
}

void SetupDialogTest::EnableAddin(HostId id)
{
    const OfficeHost& host = Host(id);
    reg::SetString(HKEY_CURRENT_USER, AddinKeyPath(host.officeKey, host.addinProgId), "FileName",
                   "C:\\Addins\\addin.dll");
}

void SetupDialogTest::EnableOldAddin(HostId id)
{
    const OfficeHost& host = Host(id);
    reg::SetString(HKEY_CURRENT_USER, AddinKeyPath(host.officeKey, host.previousAddinProgId),
                   "FileName", "C:\\Addins\\old.dll");
}

void SetupDialogTest::Offer(const char* code, const char* value)
{
    reg::SetString(HKEY_CLASSES_ROOT, "CLSID\\{ACFD160E-CA51-4CC7-9828-4FA7EEC1FF70}\\MiscStatus",
                   code, value);
}

void SetupDialogTest::FrontPageGate(const char* value)
{
    Offer(nullptr, value);
}

void SetupDialogTest::HoldSemaphore(HostId id, LONG free)
{
    semaphores_[id] = std::make_unique<AddinSemaphore>(Host(id).officeKey, free);
}

INT_PTR SetupDialogTest::RunDialog(const std::function<void(HWND dialog)>& user)
{
    Thread player = StartThread([&] {
        HWND dialog = WaitForWindow("#32770", "Quillbar");
        if (!dialog) {
            ADD_FAILURE() << "the setup dialog did not appear";
            return;
        }
        user(dialog);
        // A test that left the dialog open must not hang the run.
        if (!WaitForWindowGone(dialog)) {
            ADD_FAILURE() << "the dialog is still open";
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    });
    const INT_PTR result = RunSetupDialog(*operations_);
    player.Join();
    return result;
}
