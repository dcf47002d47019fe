#include "ShellModule.h"

#include "ModuleRegistration.h"

#include "ResourceString.h"
#include "resource.h"

#include <atomic>

namespace {

HINSTANCE g_instance = nullptr;
std::atomic<LONG> g_lockCount{0};

}  // namespace

namespace ShellModule {

void SetInstance(HINSTANCE instance)
{
    g_instance = instance;
}

HINSTANCE Instance()
{
    return g_instance;
}

std::string Path()
{
    return ModulePath(g_instance);
}

void Lock()
{
    ++g_lockCount;
}

void Unlock()
{
    --g_lockCount;
}

LONG LockCount()
{
    return g_lockCount;
}

std::string LoadText(UINT id)
{
    return LoadResourceString(g_instance, id);
}

void ShowStopMessage(const std::string& text)
{
    const std::string caption = LoadText(IDS_PROJNAME);
    MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), MB_OK | MB_ICONHAND);
}

}  // namespace ShellModule
