#include "WebPageFolder.h"

#include "Bstr.h"
#include "ComCall.h"
#include "FolderSettings.h"
#include "PathHelpers.h"
#include "ShellModule.h"
#include "ShellOpen.h"
#include "TextConversion.h"
#include "TypeLibrary.h"
#include "UniqueHandle.h"
#include "resource.h"

#include <climits>
#include <cstdio>
#include <mutex>
#include <vector>

const InterfaceEntry<WebPageFolder> WebPageFolder::kInterfaces[] = {
    {&IID_ITalvo6WebPageFolder, &CastTo<WebPageFolder, ITalvo6WebPageFolder>},
    {&IID_IObjectSafety, &CastTo<WebPageFolder, IObjectSafety>},
    {&IID_IDispatch, &CastTo<WebPageFolder, ITalvo6WebPageFolder>},
    {nullptr, nullptr},
};

namespace {

HRESULT ReturnText(const std::string& text, BSTR* out)
{
    Bstr result(ToWide(text));
    if (!result)
        return E_OUTOFMEMORY;
    *out = result.Detach();
    return S_OK;
}

std::string LaunchFailedMessage(INT_PTR error, const std::string& path)
{
    const std::string format = ShellModule::LoadText(IDS_LAUNCH_FAILED);
    const int error32 = static_cast<int>(error);
    const int length = std::snprintf(nullptr, 0, format.c_str(), error32, path.c_str());
    if (length <= 0)
        return format;
    std::vector<char> text(static_cast<size_t>(length) + 1);
    std::snprintf(text.data(), text.size(), format.c_str(), error32, path.c_str());
    return std::string(text.data(), static_cast<size_t>(length));
}

}  // namespace

HRESULT WebPageFolder::FinishConstruction()
{
    if (!lock_.Ready())
        return E_OUTOFMEMORY;
    return GuardComCall([&] {
        Load();
        return S_OK;
    });
}

size_t WebPageFolder::Load()
{
    // Read outside the lock, so that other callers only wait for the swap.
    const std::string setupFolder = ReadFolderSetting("Setup");
    std::vector<WebPageEntry> entries = ReadWebPageEntries(setupFolder);
    std::string baseFolder = ReadFolderSetting("Root");

    // The previous entries are destroyed with `entries`, after the lock is
    // released.
    std::lock_guard<ExclusiveLock> guard(lock_);
    entries_.swap(entries);
    baseFolder_.swap(baseFolder);
    return entries_.size();
}

HRESULT WebPageFolder::TypeInfo(ComPtr<ITypeInfo>& info)
{
    std::lock_guard<ExclusiveLock> guard(lock_);
    if (!typeInfo_) {
        const HRESULT hr = GetRegisteredTypeInfo(IID_ITalvo6WebPageFolder, typeInfo_);
        if (FAILED(hr))
            return hr;
    }
    info = ComPtr<ITypeInfo>::Share(typeInfo_.Get());
    return S_OK;
}

STDMETHODIMP WebPageFolder::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP WebPageFolder::GetTypeInfo(UINT index, LCID, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    if (index != 0)
        return DISP_E_BADINDEX;
    return GuardComCall([&] {
        ComPtr<ITypeInfo> typeInfo;
        const HRESULT hr = TypeInfo(typeInfo);
        if (SUCCEEDED(hr))
            *info = typeInfo.Detach();
        return hr;
    });
}

STDMETHODIMP WebPageFolder::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids)
{
    return GuardComCall([&] {
        ComPtr<ITypeInfo> typeInfo;
        const HRESULT hr = TypeInfo(typeInfo);
        return FAILED(hr) ? hr : typeInfo->GetIDsOfNames(names, count, ids);
    });
}

STDMETHODIMP WebPageFolder::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError)
{
    return GuardComCall([&] {
        ComPtr<ITypeInfo> typeInfo;
        const HRESULT hr = TypeInfo(typeInfo);
        if (FAILED(hr))
            return hr;
        return typeInfo->Invoke(static_cast<ITalvo6WebPageFolder*>(this), id, flags, parameters,
                                result, exception, argumentError);
    });
}

STDMETHODIMP WebPageFolder::get_Count(long* count)
{
    if (!count)
        return E_POINTER;
    return GuardComCall([&] {
        const size_t loaded = Load();
        *count = loaded > LONG_MAX ? LONG_MAX : static_cast<long>(loaded);
        return S_OK;
    });
}

STDMETHODIMP WebPageFolder::get_Tag(long item, BSTR name, BSTR* value)
{
    if (!value)
        return E_POINTER;
    *value = nullptr;
    return GuardComCall([&] {
        const std::string key = ToNarrow(name);
        std::string text;
        {
            std::lock_guard<ExclusiveLock> guard(lock_);
            if (item >= 0 && static_cast<size_t>(item) < entries_.size()) {
                const WebPageEntry& entry = entries_[static_cast<size_t>(item)];
                const auto found = entry.find(key);
                if (found != entry.end())
                    text = found->second;
            }
        }
        return ReturnText(text, value);
    });
}

STDMETHODIMP WebPageFolder::get_Path(BSTR* path)
{
    if (!path)
        return E_POINTER;
    *path = nullptr;
    return GuardComCall([&] {
        std::string folder;
        {
            std::lock_guard<ExclusiveLock> guard(lock_);
            folder = baseFolder_;
        }
        return ReturnText(folder, path);
    });
}

STDMETHODIMP WebPageFolder::FileExists(BSTR fileName, long* exists)
{
    if (!exists)
        return E_POINTER;
    *exists = 0;
    return GuardComCall([&] {
        // Wildcards the caller writes are honoured. A name that the ANSI code
        // page cannot hold exactly names no file, though: its default
        // character '?' would be a wildcard and a best-fit look-alike another
        // name. Nor does one with a zero character, where the search would
        // end the name.
        std::string name;
        if (!fileName ||
            !ToNarrowExactly(std::wstring(fileName, SysStringLen(fileName)), name) ||
            name.empty() || name.find('\0') != std::string::npos)
            return S_OK;
        WIN32_FIND_DATAA found;
        FindHandle search(FindFirstFileA(name.c_str(), &found));
        if (search && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            *exists = 1;
        return S_OK;
    });
}

STDMETHODIMP WebPageFolder::Execute(long index)
{
    return GuardComCall([&] {
        std::string program;
        std::string fullPath;
        {
            std::lock_guard<ExclusiveLock> guard(lock_);
            if (index >= 0 && static_cast<size_t>(index) < entries_.size()) {
                const WebPageEntry& entry = entries_[static_cast<size_t>(index)];
                const auto found = entry.find("Path");
                if (found != entry.end())
                    program = found->second;
            }
            fullPath = baseFolder_;
        }

        if (program.empty()) {
            ShellModule::ShowStopMessage(ShellModule::LoadText(IDS_PROGRAM_NOT_FOUND));
            return S_OK;
        }
        AppendPath(fullPath, program);
        const INT_PTR result = OpenWithShell(ToWide(fullPath));
        if (result <= 32)
            ShellModule::ShowStopMessage(LaunchFailedMessage(result, fullPath));
        return S_OK;
    });
}

bool WebPageFolder::Answers(REFIID iid)
{
    ComPtr<IUnknown> probe;
    return SUCCEEDED(static_cast<ITalvo6WebPageFolder*>(this)->QueryInterface(iid, probe.PutVoid()));
}

STDMETHODIMP WebPageFolder::GetInterfaceSafetyOptions(REFIID iid, DWORD* supported,
                                                      DWORD* enabled)
{
    if (!supported || !enabled)
        return E_POINTER;
    *supported = 0;
    *enabled = 0;
    if (!Answers(iid))
        return E_NOINTERFACE;
    *supported = INTERFACESAFE_FOR_UNTRUSTED_CALLER;
    std::lock_guard<ExclusiveLock> guard(lock_);
    *enabled = safetyOptions_;
    return S_OK;
}

STDMETHODIMP WebPageFolder::SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled)
{
    if (!Answers(iid))
        return E_NOINTERFACE;
    if (mask & ~static_cast<DWORD>(INTERFACESAFE_FOR_UNTRUSTED_CALLER))
        return E_FAIL;
    std::lock_guard<ExclusiveLock> guard(lock_);
    safetyOptions_ = (safetyOptions_ & ~mask) | (enabled & mask);
    return S_OK;
}
