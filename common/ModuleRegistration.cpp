#include "ModuleRegistration.h"

#include "Bstr.h"
#include "PathHelpers.h"
#include "TextConversion.h"

#include <vector>

namespace {

// The folder of a path: up to and including the last '\', '/' or ':'.
std::string FolderOf(const std::string& path)
{
    const std::string::size_type end = FindLastCharacter(path, "\\/:");
    return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

}  // namespace

HRESULT LoadRegistrarScript(HMODULE module, UINT id,
                            const RegistrarScript::Replacements& replacements,
                            RegistrarScript& script)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), "REGISTRY");
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!data)
        return HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
    return RegistrarScript::Parse(std::string(data, SizeofResource(module, found)), replacements,
                                  script);
}

HRESULT LoadModuleTypeLibrary(const std::string& modulePath, ComPtr<ITypeLib>& library)
{
    const std::wstring path = ToWide(modulePath);
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Put());
    if (SUCCEEDED(hr))
        return hr;
    const std::wstring::size_type dot = path.find_last_of(L'.');
    const std::wstring::size_type separator = path.find_last_of(L"\\/:");
    const bool hasExtension =
        dot != std::wstring::npos && (separator == std::wstring::npos || dot > separator);
    const std::wstring beside = (hasExtension ? path.substr(0, dot) : path) + L".tlb";
    return LoadTypeLibEx(beside.c_str(), REGKIND_NONE, library.Put());
}

HRESULT RegisterModuleTypeLibrary(const std::string& modulePath)
{
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadModuleTypeLibrary(modulePath, library);
    if (FAILED(hr))
        return hr;
    Bstr location(ToWide(modulePath));
    Bstr helpFolder(ToWide(FolderOf(modulePath)));
    if (!location || !helpFolder)
        return E_OUTOFMEMORY;
    return RegisterTypeLib(library.Get(), location.Get(), helpFolder.Get());
}

HRESULT UnregisterModuleTypeLibrary(const std::string& modulePath)
{
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadModuleTypeLibrary(modulePath, library);
    if (FAILED(hr))
        return hr;
    TLIBATTR* attributes = nullptr;
    hr = library->GetLibAttr(&attributes);
    if (FAILED(hr))
        return hr;
    hr = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                           attributes->lcid, attributes->syskind);
    library->ReleaseTLibAttr(attributes);
    return hr;
}

std::string ModulePath(HMODULE module)
{
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::string();
        if (length < path.size())
            return std::string(path.data(), length);
        path.resize(path.size() * 2);  // cut off: try a larger buffer
    }
}
