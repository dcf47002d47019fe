#include "Registration.h"

#include "ClassTable.h"
#include "ModuleRegistration.h"
#include "ShellModule.h"

namespace {

HRESULT LoadScript(UINT id, RegistrarScript& script)
{
    return LoadRegistrarScript(ShellModule::Instance(), id, {{"MODULE", ShellModule::Path()}},
                               script);
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
    return RegisterModuleTypeLibrary(ShellModule::Path());
}

HRESULT UnregisterServer()
{
    for (size_t i = 0; i < kClassCount; ++i) {
        RegistrarScript script;
        if (SUCCEEDED(LoadScript(kClassTable[i].registrationScript, script)))
            script.Remove();
    }
    UnregisterModuleTypeLibrary(ShellModule::Path());
    return S_OK;
}
