// Switches the Excel add-in: its record, and its connection in every Excel
// that is running. Excel is never started for this.

#include "Installers.h"

#include "AddinRecord.h"
#include "HostInstance.h"
#include "InstallerSupport.h"
#include "OfficeHost.h"

namespace {

int SwitchRunningExcels(bool enable)
{
    const OfficeHost& host = Host(HostId::Excel);

    // The record first: for an Excel that is not running it is the whole change.
    if (enable)
        RegisterAddin(host.officeKey, host.addinProgId, host.addinDescription, 0, 3);
    else
        UnregisterAddin(host.officeKey, host.addinProgId);

    // Every running Excel of a supported version, in the table's order.
    // Entries that are no Excel or cannot be reached are passed by, and so is
    // an Excel whose process goes while it is worked on. Any other failing
    // call ends the walk; the instances after it stay as they are.
    try {
        VisitRunningObjects(host.applicationIid, [&](AutomationObject excel) {
            try {
                if (IsSupportedOfficeVersion(excel.GetText("Version")))
                    UpdateComAddInConnection(excel, host.addinProgId, enable);
            } catch (const ComError& error) {
                if (!IsHostGone(error.Result()))
                    throw;
            }
            return true;
        });
    } catch (...) {
        // A failing call ends the walk.
    }
    return 1;
}

}  // namespace

int InstallExcelAddin(bool enable) noexcept
{
    return NothingEscapes(1, [&] { return SwitchRunningExcels(enable); });
}
