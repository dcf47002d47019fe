// Switches the Excel add-in: its record, and its connection in every Excel
// that is running. Excel is never started for this.

#include "Installers.h"

#include "AddinRecord.h"
#include "InstallerSupport.h"
#include "OfficeHost.h"

#include <objbase.h>

int InstallExcelAddin(bool enable)
{
    const OfficeHost& host = Host(HostId::Excel);

    // The record first: for an Excel that is not running it is the whole change.
    if (enable)
        RegisterAddin(host.officeKey, host.addinProgId, host.addinDescription, 0, 3);
    else
        UnregisterAddin(host.officeKey, host.addinProgId);

    ComPtr<IRunningObjectTable> table;
    if (FAILED(GetRunningObjectTable(0, table.Put())))
        return 1;
    ComPtr<IEnumMoniker> monikers;
    if (FAILED(table->EnumRunning(monikers.Put())) || !monikers)
        return 1;

    // Every running Excel of a supported version, in the table's order. A
    // failing call ends the walk; the instances after it stay as they are.
    try {
        ComPtr<IMoniker> moniker;
        while (monikers->Next(1, moniker.Put(), nullptr) == S_OK) {
            ComPtr<IUnknown> object;
            table->GetObject(moniker.Get(), object.Put());
            moniker.Reset();
            const AutomationObject excel =
                AutomationObject::Query(object.Get(), host.applicationIid);
            object.Reset();
            if (!excel || !IsSupportedOfficeVersion(excel.GetText("Version")))
                continue;
            UpdateComAddInConnection(excel, host.addinProgId, enable);
        }
    } catch (...) {
        // A failing call ends the walk.
    }
    return 1;
}
