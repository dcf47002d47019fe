#include "TypeLibrary.h"

#include "ShellModule.h"
#include "TextConversion.h"
#include "tlvshell.h"

#include <string>

HRESULT LoadOwnTypeLibrary(ComPtr<ITypeLib>& library)
{
    const std::wstring path = ToWide(ShellModule::Path());
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Put());
    if (SUCCEEDED(hr))
        return hr;
    const size_t dot = path.find_last_of(L'.');
    const size_t separator = path.find_last_of(L"\\/:");
    const bool hasExtension =
        dot != std::wstring::npos && (separator == std::wstring::npos || dot > separator);
    const std::wstring fallback = (hasExtension ? path.substr(0, dot) : path) + L".tlb";
    return LoadTypeLibEx(fallback.c_str(), REGKIND_NONE, library.Put());
}

HRESULT GetRegisteredTypeInfo(REFIID iid, ComPtr<ITypeInfo>& info)
{
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadRegTypeLib(LIBID_TLVSHELL, 1, 0, LOCALE_NEUTRAL, library.Put());
    if (FAILED(hr))
        hr = LoadOwnTypeLibrary(library);
    if (FAILED(hr))
        return hr;
    return library->GetTypeInfoOfGuid(iid, info.Put());
}
