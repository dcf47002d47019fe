#include "HostInstance.h"

#include "TextConversion.h"

#include <ole2.h>

HRESULT VisitRunningObjects(const RunningObjectVisitor& visit)
{
    ComPtr<IRunningObjectTable> table;
    if (FAILED(GetRunningObjectTable(0, table.Put())))
        return E_FAIL;
    ComPtr<IEnumMoniker> monikers;
    if (FAILED(table->EnumRunning(monikers.Put())) || !monikers)
        return E_FAIL;

    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.Put(), nullptr) == S_OK) {
        ComPtr<IUnknown> object;
        HRESULT result = table->GetObject(moniker.Get(), object.Put());
        if (SUCCEEDED(result) && !object)
            result = E_POINTER;
        if (!visit(moniker.Get(), result, SUCCEEDED(result) ? object.Get() : nullptr))
            break;
    }
    return S_OK;
}

bool VisitRunningObjects(const IID& iid, const std::function<bool(AutomationObject)>& visit)
{
    const HRESULT walked = VisitRunningObjects([&](IMoniker*, HRESULT result, IUnknown* object) {
        if (FAILED(result))
            return true;
        ComPtr<IDispatch> answer;
        if (FAILED(object->QueryInterface(iid, answer.PutVoid())) || !answer)
            return true;
        return visit(AutomationObject(std::move(answer), iid));
    });
    return SUCCEEDED(walked);
}

HRESULT FindRunningObject(const IID& iid, AutomationObject& found)
{
    found.Reset();
    try {
        VisitRunningObjects(iid, [&](AutomationObject object) {
            found = std::move(object);
            return false;
        });
    } catch (...) {
        found.Reset();
    }
    return found ? S_OK : E_FAIL;
}

HRESULT CreateHostInstance(const char* progIdOrClsid, IUnknown* outer, DWORD context,
                           const IID& iid, AutomationObject& instance)
{
    if (!progIdOrClsid)
        return E_INVALIDARG;
    std::wstring name = ToWide(progIdOrClsid);
    if (name.empty() && *progIdOrClsid)
        return HRESULT_FROM_WIN32(GetLastError());

    CLSID clsid;
    HRESULT hr = name[0] == L'{' ? CLSIDFromString(name.data(), &clsid)
                                 : CLSIDFromProgID(name.c_str(), &clsid);
    if (FAILED(hr))
        return hr;

    instance.Reset();
    ComPtr<IDispatch> object;
    if (context & (CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)) {
        ComPtr<IUnknown> unknown;
        hr = CoCreateInstance(clsid, outer, context, IID_IUnknown, unknown.PutVoid());
        if (SUCCEEDED(hr))
            hr = OleRun(unknown.Get());
        if (SUCCEEDED(hr))
            hr = unknown->QueryInterface(iid, object.PutVoid());
    } else {
        hr = CoCreateInstance(clsid, outer, context, iid, object.PutVoid());
    }
    if (SUCCEEDED(hr))
        instance = AutomationObject(std::move(object), iid);
    return hr;
}
