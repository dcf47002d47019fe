#pragma once

#include "ComObject.h"
#include "ComPtr.h"
#include "ExclusiveLock.h"
#include "WebPageEntries.h"
#include "tlvshell.h"

#include <objsafe.h>

#include <string>
#include <vector>

// The scriptable object through which the product's HTML pages list the
// entries of the ".sci" files in the setup folder, read their tags and start
// the programs they name. Safe for scripting by untrusted callers. Any thread
// may call it at any time: the entry list and the root folder are read and
// replaced only under the object's lock, and nothing waits for the user (a
// message box) or the shell while holding it.
class WebPageFolder : public ITalvo6WebPageFolder, public IObjectSafety {
public:
    static const InterfaceEntry<WebPageFolder> kInterfaces[];

    // The first Load, before the object is handed out.
    HRESULT FinishConstruction();

    // IDispatch, from the registered type library
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                               DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                        VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    // ITalvo6WebPageFolder
    STDMETHODIMP get_Count(long* count) override;
    STDMETHODIMP get_Tag(long item, BSTR name, BSTR* value) override;
    STDMETHODIMP get_Path(BSTR* path) override;
    STDMETHODIMP FileExists(BSTR fileName, long* exists) override;
    STDMETHODIMP Execute(long index) override;

    // IObjectSafety
    STDMETHODIMP GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) override;
    STDMETHODIMP SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) override;

protected:
    WebPageFolder() = default;
    virtual ~WebPageFolder() = default;

private:
    // Reads the folder settings and the ".sci" files afresh and replaces the
    // entry list; returns the number of entries.
    size_t Load();
    HRESULT TypeInfo(ComPtr<ITypeInfo>& info);
    bool Answers(REFIID iid);

    ExclusiveLock lock_;
    std::string baseFolder_;
    std::vector<WebPageEntry> entries_;
    DWORD safetyOptions_ = 0;
    ComPtr<ITypeInfo> typeInfo_;  // loaded at the first dispatch call
};
