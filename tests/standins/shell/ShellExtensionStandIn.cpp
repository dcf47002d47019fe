// Stands in for a shell extension installed on the user's machine: a
// context-menu handler that the shell loads, on the thread that asked it to
// open a file, for a file class whose "shellex\ContextMenuHandlers" lists
// it. Each time the shell asks for its class it notes the apartment of the
// asking thread, appending "single-threaded" or "multithreaded" as a line to
// "<its own path>.log", and declines, so that the shell goes on as without
// it.
#include "Apartment.h"
#include "UniqueHandle.h"

#include <windows.h>

#include <string>

namespace {

HMODULE SelfModule()
{
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&SelfModule), &self);
    return self;
}

void Note(const std::string& line)
{
    char self[MAX_PATH * 4] = {};
    GetModuleFileNameA(SelfModule(), self, sizeof self);
    const std::string log = std::string(self) + ".log";
    const std::string text = line + "\r\n";
    KernelHandle file(CreateFileA(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file)
        WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID, REFIID,
                                                                          void** out)
{
    if (out)
        *out = nullptr;
    Note(CurrentApartment() == Apartment::SingleThreaded ? "single-threaded" : "multithreaded");
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return S_OK;
}
