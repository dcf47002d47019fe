#include "Registration.h"

#include "ClassTable.h"
#include "ComPtr.h"
#include "RegistrarScript.h"
#include "ShellModule.h"
#include "TextConversion.h"
#include "TypeLibrary.h"

#include <string>

namespace {

// The script resource as text, with %MODULE% standing for the library's path.
HRESULT LoadScript(UINT id, RegistrarScript& script)
{
    const HINSTANCE module = ShellModule::Instance();
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), "REGISTRY");
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!data)
        return HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
    const std::string text(data, SizeofResource(module, found));
    return RegistrarScript::Parse(text, {{"MODULE", ShellModule::Path()}}, script);
}

// The library's folder: its path up to and including the last '\', '/' or ':'.
std::string HelpFolder(const std::string& path)
{
    const size_t end = path.find_last_of("\\/:");
    return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

HRESULT RegisterTypeLibrary()
{
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadOwnTypeLibrary(library);
    if (FAILED(hr))
        return hr;
    const std::string path = ShellModule::Path();
    std::wstring location = ToWide(path);
    std::wstring helpFolder = ToWide(HelpFolder(path));
    return RegisterTypeLib(library.Get(), location.data(), helpFolder.data());
}

void UnregisterTypeLibrary()
{
    ComPtr<ITypeLib> library;
    if (FAILED(LoadOwnTypeLibrary(library)))
        return;
    TLIBATTR* attributes = nullptr;
    if (FAILED(library->GetLibAttr(&attributes)))
        return;
    UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                      attributes->lcid, attributes->syskind);
    library->ReleaseTLibAttr(attributes);
}

}  // namespace

HRESULT RegisterServer()
{
    for (size_t i = 0; i < kClassCount; ++i) {
        RegistrarScript script;
        HRESULT hr = LoadScript(kClassTable[i].registrationScript, script);
        if (SUCCEEDED(hr))
            hr = script.Install();
        if (FAILED(hr))
            return hr;
    }
    return RegisterTypeLibrary();
}

HRESULT UnregisterServer()
{
    for (size_t i = 0; i < kClassCount; ++i) {
        RegistrarScript script;
        if (SUCCEEDED(LoadScript(kClassTable[i].registrationScript, script)))
            script.Remove();
    }
    UnregisterTypeLibrary();
    return S_OK;
}
