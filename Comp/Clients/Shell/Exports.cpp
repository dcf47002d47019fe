// The library's entry points (exported through tlvshell.def).
#include "ClassTable.h"
#include "Registration.h"
#include "ShellModule.h"

#include <olectl.h>
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        ShellModule::SetInstance(instance);
        DisableThreadLibraryCalls(instance);
        break;
    case DLL_PROCESS_DETACH:
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
    return GetClassObject(clsid, iid, out);
}

STDAPI DllRegisterServer()
{
    return RegisterServer();
}

STDAPI DllUnregisterServer()
{
    return UnregisterServer();
}
