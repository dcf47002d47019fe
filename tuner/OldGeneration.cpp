#include "OldGeneration.h"

#include "AddinContract.h"
#include "GuidText.h"
#include "HostDetection.h"
#include "HostInstance.h"
#include "OfficeHost.h"
#include "QBSetup_h.h"
#include "ResourceString.h"
#include "TunerResources.h"

#include <string>

namespace {

bool AnyOldAddinEnabled()
{
    for (HostId id : kHostsExcelFirst) {
        const OfficeHost& host = Host(id);
        if (IsAddinEnabled(host.officeKey, host.previousAddinProgId))
            return true;
    }
    return false;
}

}  // namespace

void DeactivateOldVersion()
{
    AutomationObject oldTuner;
    if (FAILED(CreateHostInstance(GuidText(addin::CLSID_PreviousTuner).c_str(), nullptr,
                                  CLSCTX_ALL, addin::IID_PreviousTuner, oldTuner)))
        return;
    // The object was asked for IQuillbarTuner's identity, a dual interface.
    auto* tuner = static_cast<IQuillbarTuner*>(oldTuner.Raw());
    long count = 0;
    if (FAILED(tuner->get_Count(&count)))
        return;
    for (long index = 0; index < count; ++index)
        if (FAILED(tuner->put_Enabled(index, 0)))
            return;
}

OldVersion AskAboutOldVersion()
{
    if (!AnyOldAddinEnabled())
        return OldVersion::NotActive;
    const HINSTANCE module = GetModuleHandleA(nullptr);
    const std::string question = LoadResourceString(module, IDS_OLD_VERSION_ACTIVE);
    const std::string caption = LoadResourceString(module, IDS_MESSAGE_CAPTION);
    return MessageBoxA(nullptr, question.c_str(), caption.c_str(),
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON1) == IDNO
               ? OldVersion::Refused
               : OldVersion::Agreed;
}
