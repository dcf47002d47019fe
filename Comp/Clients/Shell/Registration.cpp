#include "Registration.h"

#include "ClassTable.h"
#include "GuidText.h"
#include "ModuleRegistration.h"
#include "RegistryKey.h"
#include "RegistryViews.h"
#include "ShellModule.h"

namespace {

// On 64-bit Windows each registry view has class keys of its own under
// HKCR\CLSID, while the ProgIDs and the context-menu handler key that a
// class's script writes beside them are shared by both views, and the
// library of the other bitness registers the same classes with them.
const char kKeyOfEachView[] = "CLSID";

HRESULT LoadScript(UINT id, RegistrarScript& script)
{
    return LoadRegistrarScript(ShellModule::Instance(), id, {{"MODULE", ShellModule::Path()}},
                               script);
}

// Whether the other registry view registers the class with a server. Only a
// server key that is surely absent counts as not registered.
bool OtherViewRegisters(const CLSID& clsid)
{
    const REGSAM otherView = OtherRegistryView();
    if (!otherView)
        return false;
    RegistryKey server;
    if (server.Open(HKEY_CLASSES_ROOT, "CLSID\\" + GuidText(clsid) + "\\InprocServer32",
                    KEY_READ | otherView))
        return true;
    return server.LastError() != ERROR_FILE_NOT_FOUND &&
           server.LastError() != ERROR_PATH_NOT_FOUND;
}

// Removes what a class's script writes, but for the keys both views share
// while the other view still registers the class.
void RemoveClass(const RegistrarScript& script, const CLSID& clsid)
{
    if (OtherViewRegisters(clsid))
        script.RemoveWithin(kKeyOfEachView);
    else
        script.Remove();
}

}  // namespace

HRESULT RegisterServer()
{
    for (size_t i = 0; i < kClassCount; ++i) {
        RegistrarScript script;
        HRESULT hr = LoadScript(kClassTable[i].registrationScript, script);
        if (FAILED(hr))
            return hr;
        // A script that fails part-way is undone as unregistering undoes it:
        // what the other view's library shares stays.
        hr = script.Write();
        if (FAILED(hr)) {
            RemoveClass(script, *kClassTable[i].clsid);
            return hr;
        }
    }
    return RegisterModuleTypeLibrary(ShellModule::Path());
}

HRESULT UnregisterServer()
{
    for (size_t i = 0; i < kClassCount; ++i) {
        RegistrarScript script;
        if (SUCCEEDED(LoadScript(kClassTable[i].registrationScript, script)))
            RemoveClass(script, *kClassTable[i].clsid);
    }
    UnregisterModuleTypeLibrary(ShellModule::Path());
    return S_OK;
}
