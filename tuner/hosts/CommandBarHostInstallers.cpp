// The PowerPoint and FrontPage installers. Both hosts get the translation
// menu and toolbar, so both follow one plan; where they differ, the
// difference is a field of CommandBarHost and the two rows below show it.

#include "Installers.h"

#include "AddinRecord.h"
#include "Catalogue.h"
#include "CommandBarBuilder.h"
#include "HostInstance.h"
#include "InstallerSupport.h"
#include "OfficeHost.h"
#include "OfficeInterfaces.h"
#include "ResourceString.h"

#include <array>

namespace {

struct CommandBarHost {
    HostId host;                        // record, add-in ProgID, host ProgIDs, interface
    bool checksVersion;                 // "9.", "10." or "11." required
    UpdateFailure updateFailure;        // whether a failing COMAddIns.Update ends the run
    short menuBeforeOffset;             // popup goes before count - offset when count > 2
    bool pressesToolbarToggle;          // the toolbar's own switch is shown pressed
    bool quitsAlways;                   // else only when the host has no visible window
    int resultAfterAutomationError;
    const ControlDescriptor* menuTable;
    const ControlDescriptor* toolbarTable;
};

//                                   version  a failing Update     before  toolbar  quit    after
//                                   check                         offset  pressed  always  error
const CommandBarHost kPowerPoint = {HostId::PowerPoint, true, UpdateFailure::Raises, 2, false, false, 1,
                                    catalogue::kPowerPointMenu, catalogue::kPowerPointToolbar};
const CommandBarHost kFrontPage = {HostId::FrontPage, false, UpdateFailure::Ignored, 1, true, true, 0,
                                   catalogue::kFrontPageMenu, catalogue::kFrontPageToolbar};

constexpr int kCannotReachHost = 0;
constexpr int kDone = 1;

// Shows the switch tagged `tag` on `bar` as pressed, if it is a button.
void PressToggle(const AutomationObject& bar, const char* tag)
{
    const AutomationObject toggle =
        bar.CallAs(office::IID_CommandBarControl, "FindControl", Missing(), Missing(), Text(tag),
                   Missing(), Missing())
            .As(office::IID_CommandBarButton);
    if (toggle)
        toggle.Put("State", Variant::I4(office::kButtonDown));
}

// A popup on the active menu bar, near its end, filled from the menu table.
void BuildMenu(const CommandBarHost& plan, const AutomationObject& commandBars)
{
    const AutomationObject menuBar = commandBars.GetAs(office::IID_CommandBar, "ActiveMenuBar");
    if (!menuBar)
        return;
    const AutomationObject controls = menuBar.GetAs(office::IID_CommandBarControls, "Controls");
    short before = static_cast<short>(controls.GetNumber("Count"));
    if (before > 2)
        before = static_cast<short>(before - plan.menuBeforeOffset);

    const AutomationObject popup =
        controls.CallAs(office::IID_CommandBarControl, "Add", Variant::I4(office::kControlPopup),
                        Missing(), Missing(), Variant::I2(before), Missing())
            .As(office::IID_CommandBarPopup);
    if (!popup)
        return;
    popup.Put("Caption",
              Text(LoadResourceString(GetModuleHandleA(nullptr), catalogue::kMenuCaptionString)));
    popup.Put("Tag", Text(catalogue::kMenuTag));

    const AutomationObject menu = popup.GetAs(office::IID_CommandBar, "CommandBar");
    menu.Put("Protection", Variant::I4(office::kBarNoCustomize));
    AddControlsFromTable(menu, plan.menuTable);
    PressToggle(menu, catalogue::kMenuToggleTag);
}

void BuildToolbar(const CommandBarHost& plan, const AutomationObject& commandBars)
{
    const AutomationObject toolbar =
        commandBars.CallAs(office::IID_CommandBar, "Add", Text(catalogue::kToolbarName),
                           Missing(), Missing(), Missing());
    toolbar.Put("Protection", Variant::I4(office::kBarNoCustomize));
    toolbar.Put("Visible", Variant::Bool(1));
    toolbar.Put("Position", Variant::I4(office::kBarTop));
    AddControlsFromTable(toolbar, plan.toolbarTable);
    if (plan.pressesToolbarToggle)
        PressToggle(toolbar, catalogue::kToolbarToggleTag);
}

int InstallCommandBarHostAddin(const CommandBarHost& plan, bool enable)
{
    const OfficeHost& host = Host(plan.host);

    // The record goes first, so it is gone even when the host cannot be reached.
    if (!enable)
        UnregisterAddin(host.officeKey, host.addinProgId);

    try {
        const AutomationObject application = CreateHostFromProgIds(host);
        if (!application)
            return kCannotReachHost;
        if (plan.checksVersion && !IsSupportedOfficeVersion(application.GetText("Version")))
            return kCannotReachHost;

        if (!enable)
            UpdateComAddInConnection(application, host.addinProgId, false, plan.updateFailure);

        // Whatever an earlier run left is removed, in both directions. Each
        // step takes the command-bar collection afresh and lets go of it after.
        const auto commandBars = [&] {
            return application.GetAs(office::IID_CommandBars, "CommandBars");
        };
        RemoveMenuPopup(commandBars());
        RemoveToolbar(commandBars());

        if (enable) {
            BuildMenu(plan, commandBars());
            BuildToolbar(plan, commandBars());
            RegisterAddin(host.officeKey, host.addinProgId, host.addinDescription, 0, 3);
            UpdateComAddInConnection(application, host.addinProgId, true, plan.updateFailure);
        }

        if (plan.quitsAlways || application.GetNumber("Visible") == 0)
            application.Call("Quit");
        return kDone;
    } catch (...) {
        // A failing automation call ends the run; what was done stays done.
        return plan.resultAfterAutomationError;
    }
}

}  // namespace

int InstallPowerPointAddin(bool enable) noexcept
{
    return NothingEscapes(kPowerPoint.resultAfterAutomationError,
                          [&] { return InstallCommandBarHostAddin(kPowerPoint, enable); });
}

int InstallFrontPageAddin(bool enable) noexcept
{
    return NothingEscapes(kFrontPage.resultAfterAutomationError,
                          [&] { return InstallCommandBarHostAddin(kFrontPage, enable); });
}
