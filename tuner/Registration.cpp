#include "Registration.h"

#include "ModuleRegistration.h"
#include "RegistryKey.h"
#include "TunerResources.h"

#include <string>
#include <vector>

namespace {

constexpr char kAppIdKey[] = "AppID\\{08CD8342-63B3-4DAE-89B8-A980A37B3D86}";

// The program's path: the short form when the file system has one.
std::string ServerPath()
{
    const std::string path = ModulePath(nullptr);
    const DWORD length = GetShortPathNameA(path.c_str(), nullptr, 0);
    if (length == 0)
        return path;
    std::vector<char> shortPath(length);
    if (GetShortPathNameA(path.c_str(), shortPath.data(), length) == 0)
        return path;
    return shortPath.data();
}

// Runs the registration script (class, ProgIDs) in either direction.
HRESULT RunScript(bool install)
{
    RegistrarScript script;
    HRESULT hr = LoadRegistrarScript(GetModuleHandleA(nullptr), IDR_REGISTRY_SCRIPT,
                                     {{"MODULE", LocalServerCommand(ServerPath())}}, script);
    if (FAILED(hr))
        return hr;
    return install ? script.Install() : script.Remove();
}

}  // namespace

std::string LocalServerCommand(const std::string& path)
{
    if (path.find(' ') == std::string::npos)
        return path;
    return '"' + path + '"';
}

HRESULT RegisterServer()
{
    RunScript(true);
    // The class table's own registration runs the same script again.
    const HRESULT hr = RunScript(true);
    const HRESULT result = FAILED(hr) ? hr : RegisterModuleTypeLibrary(ModulePath(nullptr));
    RegisterAppId(true);
    return result;
}

void UnregisterServer()
{
    RunScript(false);
    RunScript(false);
    UnregisterModuleTypeLibrary(ModulePath(nullptr));
    RegisterAppId(false);
}

bool RegisterAppId(bool install)
{
    RegistryKey key;
    if (!install) {
        return key.Open(HKEY_CLASSES_ROOT, kAppIdKey, KEY_ALL_ACCESS) && key.Delete(true);
    }
    return key.Create(HKEY_CLASSES_ROOT, kAppIdKey) && key.SetString("RunAs", "Interactive User");
}
