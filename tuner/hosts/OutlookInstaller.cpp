// Switches the Outlook add-in: its record, the old menu and toolbars in an
// explorer's command bars, and the add-in's connection. Works on the active
// explorer, or on one it opens on the Inbox and closes again together with
// Outlook. Builds no command bars.

#include "Installers.h"

#include "AddinRecord.h"
#include "HostInstance.h"
#include "InstallerSupport.h"
#include "OfficeHost.h"
#include "OfficeInterfaces.h"

namespace {

constexpr long kFolderInbox = 6;          // olFolderInbox
constexpr long kFolderDisplayNormal = 0;  // olFolderDisplayNormal
constexpr int kAfterAutomationError = 1;

AutomationObject ReachOutlook(const OfficeHost& host)
{
    AutomationObject outlook;
    if (SUCCEEDED(FindRunningObject(host.applicationIid, outlook)))
        return outlook;
    return CreateHostFromProgIds(host);
}

// A new explorer on the Inbox.
AutomationObject OpenInboxExplorer(const AutomationObject& outlook)
{
    const AutomationObject explorers = outlook.GetAs(office::IID_OutlookExplorers, "Explorers");
    const AutomationObject nameSpace =
        outlook.CallAs(office::IID_OutlookNameSpace, "GetNamespace", Text("MAPI"));
    const AutomationObject inbox =
        nameSpace.CallAs(office::IID_OutlookFolder, "GetDefaultFolder", Variant::I4(kFolderInbox));
    // Add takes a folder; a missing Inbox is a null reference like any other.
    if (!inbox)
        throw ComError(E_POINTER, inbox.Iid());
    return explorers.CallAs(office::IID_OutlookExplorer, "Add", Variant::Dispatch(inbox.Raw()),
                            Variant::I4(kFolderDisplayNormal));
}

AutomationObject CommandBarsOf(const AutomationObject& explorer)
{
    return explorer.GetAs(office::IID_CommandBars, "CommandBars");
}

// An Outlook that shows no window is told to quit, whoever started it.
void QuitOutlookWithoutWindow(const IID& application)
{
    try {
        AutomationObject outlook;
        if (FAILED(FindRunningObject(application, outlook)))
            return;
        if (!outlook.CallAs(IID_IDispatch, "ActiveWindow"))
            outlook.Call("Quit");
    } catch (...) {
    }
}

int SwitchOutlook(bool enable)
{
    const OfficeHost& host = Host(HostId::Outlook);

    // The record goes before Outlook is contacted.
    if (!enable)
        UnregisterAddin(host.officeKey, host.addinProgId);

    AutomationObject outlook = ReachOutlook(host);
    if (!outlook)
        return 0;

    AutomationObject explorer;
    bool explorerOpened = false;
    try {
        if (!IsSupportedOfficeVersion(outlook.GetText("Version")))
            return 0;

        if (!enable)
            UpdateComAddInConnection(outlook, host.addinProgId, false, UpdateFailure::Ignored);

        // The active explorer, or a new one on the Inbox.
        explorer = outlook.CallAs(office::IID_OutlookExplorer, "ActiveExplorer");
        // Only an explorer that was really added is ours to close.
        if (!explorer) {
            explorer = OpenInboxExplorer(outlook);
            explorerOpened = static_cast<bool>(explorer);
        }
        explorer.Call("Activate");

        // The old menu, and up to two toolbars of our name.
        RemoveMenuPopup(CommandBarsOf(explorer));
        RemoveToolbar(CommandBarsOf(explorer));
        RemoveToolbar(CommandBarsOf(explorer));

        if (enable) {
            RegisterAddin(host.officeKey, host.addinProgId, host.addinDescription, 0, 3);
            // Where the explorer had to be opened, the record is all that
            // changes in this run.
            if (!explorerOpened)
                UpdateComAddInConnection(outlook, host.addinProgId, true, UpdateFailure::Ignored);
        }
    } catch (...) {
        // A failing call ends the main part; the clean-up below still runs.
    }

    // Clean up, however the main part ended.
    if (explorerOpened) {
        if (explorer) {
            try {
                explorer.Call("Close");
            } catch (...) {
            }
        }
        try {
            outlook.Call("Quit");
        } catch (...) {
        }
    }
    QuitOutlookWithoutWindow(host.applicationIid);
    return 1;
}

}  // namespace

int InstallOutlookAddin(bool enable) noexcept
{
    return NothingEscapes(kAfterAutomationError, [&] { return SwitchOutlook(enable); });
}
