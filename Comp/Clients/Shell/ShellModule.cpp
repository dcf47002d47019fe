#include "ShellModule.h"

#include "ResourceString.h"
#include "resource.h"

#include <atomic>
#include <vector>

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
    std::vector<char> buffer(MAX_PATH);
    while (true) {
        const DWORD length =
            GetModuleFileNameA(g_instance, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::string();
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);  // cut off: try a larger buffer
    }
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
