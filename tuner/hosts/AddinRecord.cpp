#include "AddinRecord.h"

#include "CoTaskMemPtr.h"
#include "RegistryKey.h"
#include "RegistryViews.h"
#include "TextConversion.h"

std::string AddinClassId(const std::string& progId)
{
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(ToWide(progId).c_str(), &clsid)))
        return std::string();
    LPOLESTR text = nullptr;
    if (FAILED(StringFromCLSID(clsid, &text)))
        return std::string();
    const CoTaskMemPtr<OLECHAR> owner(text);
    return ToNarrow(text);
}

std::string AddinServerKeyPath(const std::string& classId)
{
    return "CLSID\\" + classId + "\\InProcServer32";
}

std::string AddinKeyPath(const std::string& officeKey, const std::string& progId)
{
    return "Software\\Microsoft\\Office\\" + officeKey + "\\Addins\\" + progId;
}

std::string GetAddinServerPath(const std::string& progId)
{
    const std::string clsid = AddinClassId(progId);
    if (clsid.empty())
        return std::string();
    RegistryKey key;
    // The add-ins are 32-bit in-process servers, registered where Office looks.
    key.Open(HKEY_CLASSES_ROOT, AddinServerKeyPath(clsid), KEY_QUERY_VALUE | kInstallationView);
    return key.QueryString(nullptr);
}

HRESULT RegisterAddin(const std::string& officeKey, const std::string& progId,
                      const std::string& description, DWORD commandLineSafe,
                      DWORD loadBehavior)
{
    const std::string serverPath = GetAddinServerPath(progId);  // before the key is touched

    RegistryKey key;
    if (!key.Create(HKEY_CURRENT_USER, AddinKeyPath(officeKey, progId), nullptr,
                    REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS))
        return E_FAIL;
    // Office reads these; their write results are not what decides success.
    key.SetString("FileName", serverPath);
    key.SetString("FriendlyName", description);
    key.SetString("Description", description);
    key.SetDword("CommandLineSafe", commandLineSafe);
    key.SetDword("LoadBehavior", loadBehavior);
    return S_OK;
}

HRESULT UnregisterAddin(const std::string& officeKey, const std::string& progId)
{
    RegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, AddinKeyPath(officeKey, progId), KEY_ALL_ACCESS))
        return E_FAIL;
    key.Delete(true);
    return S_OK;
}
