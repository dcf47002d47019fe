#include "InstallerSupport.h"

#include "AddinContract.h"
#include "Catalogue.h"
#include "HostInstance.h"
#include "OfficeHost.h"
#include "OfficeInterfaces.h"

AutomationObject CreateHostFromProgIds(const OfficeHost& host)
{
    AutomationObject application;
    for (const char* progId : host.automationProgIds) {
        if (progId && SUCCEEDED(CreateHostInstance(progId, nullptr, CLSCTX_ALL,
                                                   host.applicationIid, application)))
            break;
    }
    return application;
}

bool IsSupportedOfficeVersion(const std::string& version)
{
    return version.compare(0, 2, "9.") == 0 || version.compare(0, 3, "10.") == 0 ||
           version.compare(0, 3, "11.") == 0;
}

AutomationObject FindComAddIn(const AutomationObject& comAddIns, const std::string& progId)
{
    try {
        return comAddIns.CallAs(office::IID_COMAddIn, "Item", Text(progId));
    } catch (const ComError&) {
        return AutomationObject::Nothing(office::IID_COMAddIn);
    }
}

Variant Connection(bool connected)
{
    return Variant::Bool(connected ? addin::kConnected : addin::kDisconnected);
}

void UpdateComAddInConnection(const AutomationObject& application, const std::string& progId,
                              bool connected, UpdateFailure updateFailure)
{
    const AutomationObject comAddIns = application.GetAs(office::IID_COMAddIns, "COMAddIns");
    try {
        comAddIns.Call("Update");
    } catch (const ComError&) {
        if (updateFailure == UpdateFailure::Raises)
            throw;
    }
    const AutomationObject addIn = FindComAddIn(comAddIns, progId);
    if (addIn)
        addIn.Put("Connect", Connection(connected));
}

void RemoveMenuPopup(const AutomationObject& commandBars)
{
    const AutomationObject menuBar = commandBars.GetAs(office::IID_CommandBar, "ActiveMenuBar");
    if (!menuBar)
        return;
    const AutomationObject popup =
        menuBar.CallAs(office::IID_CommandBarControl, "FindControl", Missing(), Missing(),
                       Text(catalogue::kMenuTag), Missing(), Missing())
            .As(office::IID_CommandBarPopup);
    if (popup)
        popup.Call("Delete", Missing());
}

void RemoveToolbar(const AutomationObject& commandBars)
{
    AutomationObject toolbar;
    try {
        toolbar = commandBars.GetAs(office::IID_CommandBar, "Item", Text(catalogue::kToolbarName));
    } catch (const ComError&) {
        return;  // there is no such toolbar
    }
    if (toolbar)
        toolbar.Call("Delete");
}

bool IsHostGone(HRESULT result)
{
    switch (result) {
    case RPC_E_DISCONNECTED:
    case RPC_E_SERVER_DIED:
    case RPC_E_SERVER_DIED_DNE:
    case CO_E_OBJNOTCONNECTED:
    case HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE):
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED):
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE):
        return true;
    default:
        return false;
    }
}
