#include "ShellOpen.h"

#include "Apartment.h"
#include "Thread.h"

#include <shellapi.h>

namespace {

INT_PTR Open(const std::wstring& path)
{
    return reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, nullptr, path.c_str(), L"", L"", SW_SHOWNORMAL));
}

}  // namespace

INT_PTR OpenWithShell(const std::wstring& path)
{
    if (CurrentApartment() == Apartment::SingleThreaded)
        return Open(path);

    // What ShellExecute answers when it has no memory for the work.
    INT_PTR result = 0;
    Thread apartment;
    const bool started = apartment.Start([&path, &result] {
        const HRESULT initialised =
            CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        if (SUCCEEDED(initialised)) {
            result = Open(path);
            CoUninitialize();
        }
    });
    if (started)
        apartment.Join();  // before `path` and `result` go
    return result;
}
