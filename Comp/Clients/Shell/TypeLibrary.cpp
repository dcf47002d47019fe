#include "TypeLibrary.h"

#include "ModuleRegistration.h"
#include "ShellModule.h"
#include "tlvshell.h"

HRESULT GetRegisteredTypeInfo(REFIID iid, ComPtr<ITypeInfo>& info)
{
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadRegTypeLib(LIBID_TLVSHELL, 1, 0, LOCALE_NEUTRAL, library.Put());
    if (FAILED(hr))
        hr = LoadModuleTypeLibrary(ShellModule::Path(), library);
    if (FAILED(hr))
        return hr;
    return library->GetTypeInfoOfGuid(iid, info.Put());
}
