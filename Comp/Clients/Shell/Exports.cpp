// The library's entry points (exported through tlvshell.def).
#include "ClassTable.h"
#include "ComCall.h"
#include "Registration.h"
#include "ShellModule.h"

#include <olectl.h>
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        ShellModule::SetInstance(instance);
        DisableThreadLibraryCalls(instance);
        break;
    case DLL_PROCESS_DETACH:
        // Unloaded by FreeLibrary, not at process exit, where the other
        // threads are gone, perhaps while holding the class objects' lock.
        if (!reserved)
            ReleaseClassObjects();
        break;
    }
    return TRUE;
}

STDAPI DllCanUnloadNow()
{
    return ShellModule::LockCount() == 0 ? S_OK : S_FALSE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    return GuardComCall([&] { return GetClassObject(clsid, iid, out); });
}

STDAPI DllRegisterServer()
{
    return GuardComCall([] { return RegisterServer(); });
}

STDAPI DllUnregisterServer()
{
    return GuardComCall([] { return UnregisterServer(); });
}
