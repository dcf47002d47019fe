#include "QuillbarTuner.h"

#include "BusyState.h"
#include "ComCall.h"
#include "ComObject.h"
#include "HostDetection.h"
#include "ModuleRegistration.h"
#include "Privileges.h"
#include "ServerModule.h"
#include "SessionApplyLock.h"
#include "SetupDialog.h"
#include "TextConversion.h"

#include <new>
#include <vector>

namespace {

// Hosts in the order the object lists them, each when one of its two probes
// (Office XP, Office 2000) finds it. Office 2003 alone does not count here.
struct ListedHost {
    HostId id;
    OfficeVersion first;
    OfficeVersion second;
};
constexpr ListedHost kListedHosts[] = {
    {HostId::Word, OfficeVersion::V10, OfficeVersion::V9},
    {HostId::Outlook, OfficeVersion::V10, OfficeVersion::V9},
    {HostId::Excel, OfficeVersion::V9, OfficeVersion::V10},
    {HostId::PowerPoint, OfficeVersion::V10, OfficeVersion::V9},
    {HostId::FrontPage, OfficeVersion::V10, OfficeVersion::V9},  // 9.0: FrontPage 2000
};

constexpr const char* kPrivileges[] = {"SeSecurityPrivilege", "SeSystemProfilePrivilege",
                                       "SeBackupPrivilege", "SeProfileSingleProcessPrivilege"};

std::vector<const OfficeHost*> ListHosts()
{
    std::vector<const OfficeHost*> hosts;
    for (const char* privilege : kPrivileges)
        if (!EnablePrivilege(privilege, true))
            return hosts;
    for (const ListedHost& listed : kListedHosts) {
        const OfficeHost& host = Host(listed.id);
        if (IsHostVersionInstalled(host, listed.first) ||
            IsHostVersionInstalled(host, listed.second))
            hosts.push_back(&host);
    }
    return hosts;
}

// IQuillbarTuner's type information from the type library inside the
// program, loaded at the first request and kept for the life of the process.
// Plain data, so that no lock and no initialisation guard can fail: two first
// requests at once both load it, and the second one's copy goes again.
ITypeInfo* loadedTypeInfo = nullptr;

HRESULT TunerTypeInfo(ITypeInfo*& info)
{
    info = static_cast<ITypeInfo*>(InterlockedCompareExchangePointer(
        reinterpret_cast<void**>(&loadedTypeInfo), nullptr, nullptr));
    if (info)
        return S_OK;
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(ToWide(ModulePath(nullptr)).c_str(), REGKIND_NONE, library.Put());
    ComPtr<ITypeInfo> loaded;
    if (SUCCEEDED(hr))
        hr = library->GetTypeInfoOfGuid(IID_IQuillbarTuner, loaded.Put());
    if (FAILED(hr))
        return TYPE_E_CANTLOADLIBRARY;
    ITypeInfo* earlier = static_cast<ITypeInfo*>(InterlockedCompareExchangePointer(
        reinterpret_cast<void**>(&loadedTypeInfo), loaded.Get(), nullptr));
    info = earlier ? earlier : loaded.Detach();
    return S_OK;
}

// The server's lock count counts every live QuillbarTuner.
struct ServerLock {
    static void Lock() { server::Lock(); }
    static void Unlock() { server::Unlock(); }
};

// Answers for IUnknown, IDispatch and IQuillbarTuner, nothing else (no rich
// error information either).
class QuillbarTuner : public IQuillbarTuner {
public:
    static const InterfaceEntry<QuillbarTuner> kInterfaces[];

    QuillbarTuner() : hosts_(ListHosts()) {}
    virtual ~QuillbarTuner() = default;
    HRESULT FinishConstruction() { return S_OK; }

    // IDispatch, served from the type library.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override
    {
        if (!info)
            return E_POINTER;
        *info = nullptr;
        if (index != 0)
            return DISP_E_BADINDEX;
        return GuardComCall([&] {
            ITypeInfo* type = nullptr;
            const HRESULT hr = TunerTypeInfo(type);
            if (SUCCEEDED(hr)) {
                type->AddRef();
                *info = type;
            }
            return hr;
        });
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override
    {
        return GuardComCall([&] {
            ITypeInfo* type = nullptr;
            const HRESULT hr = TunerTypeInfo(type);
            return FAILED(hr) ? hr : DispGetIDsOfNames(type, names, count, ids);
        });
    }
    // Script clients call every member through here; the members themselves
    // decide whether they may run now.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* badArgument) override
    {
        return GuardComCall([&] {
            ITypeInfo* type = nullptr;
            const HRESULT hr = TunerTypeInfo(type);
            return FAILED(hr) ? hr
                              : DispInvoke(static_cast<IQuillbarTuner*>(this), type, id, flags,
                                           params, result, exception, badArgument);
        });
    }

    // IQuillbarTuner. The reads are answered at any time, also while an
    // installer or a dialog runs: they touch no host.
    HRESULT STDMETHODCALLTYPE get_Count(long* count) override
    {
        if (!count)
            return E_POINTER;
        *count = static_cast<long>(hosts_.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Name(long index, BSTR* name) override
    {
        if (!IsValid(index))
            return E_INVALIDARG;
        if (!name)
            return E_POINTER;
        *name = nullptr;
        return GuardComCall([&] {
            const std::wstring wide = ToWide(hosts_[index]->displayName);
            *name = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
            return *name ? S_OK : E_OUTOFMEMORY;
        });
    }
    HRESULT STDMETHODCALLTYPE get_Enabled(long index, long* enabled) override
    {
        if (!IsValid(index))
            return E_INVALIDARG;
        if (!enabled)
            return E_POINTER;
        return GuardComCall([&] {
            const OfficeHost& host = *hosts_[index];
            *enabled = IsAddinEnabled(host.officeKey, host.addinProgId) ? 1 : 0;
            return S_OK;
        });
    }
    // Runs the host's installer whatever the current state; what it achieved
    // shows in a later get. Refused while another installer or a dialog runs
    // here, or another process applies.
    HRESULT STDMETHODCALLTYPE put_Enabled(long index, long enable) override
    {
        if (!IsValid(index))
            return E_INVALIDARG;
        return GuardComCall([&] {
            const busy::Operation operation;
            if (!operation.Started())
                return busy::kRefused;
            const SessionApplyLock applying;
            if (!applying.Taken())
                return busy::kRefused;
            hosts_[index]->install(enable != 0);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE DoSetupDialog() override
    {
        if (busy::IsBusy())
            return busy::kRefused;
        return GuardComCall([] {
            ShowSetupDialog();
            return S_OK;
        });
    }

private:
    bool IsValid(long index) const
    {
        return index >= 0 && index < static_cast<long>(hosts_.size());
    }

    const std::vector<const OfficeHost*> hosts_;
};

const InterfaceEntry<QuillbarTuner> QuillbarTuner::kInterfaces[] = {
    {&IID_IDispatch, CastTo<QuillbarTuner, IDispatch>},
    {&IID_IQuillbarTuner, CastTo<QuillbarTuner, IQuillbarTuner>},
    {nullptr, nullptr},
};

// One class object serves every client; it does not keep the server alive
// by itself, a client's LockServer does.
class QuillbarTunerFactory : public IClassFactory {
public:
    static const InterfaceEntry<QuillbarTunerFactory> kInterfaces[];
    virtual ~QuillbarTunerFactory() = default;

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        // Also once the server has begun to stop: it serves on while the
        // object lives.
        return GuardComCall([&] { return CreateComObject<QuillbarTuner, ServerLock>(nullptr, iid, object); });
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        lock ? server::Lock() : server::Unlock();
        return S_OK;
    }
};

const InterfaceEntry<QuillbarTunerFactory> QuillbarTunerFactory::kInterfaces[] = {
    {&IID_IClassFactory, CastTo<QuillbarTunerFactory, IClassFactory>},
    {nullptr, nullptr},
};

}  // namespace

ComPtr<IClassFactory> NewQuillbarTunerFactory()
{
    auto* object = new (std::nothrow) ComObject<QuillbarTunerFactory>(nullptr);
    if (!object)
        return ComPtr<IClassFactory>();
    ComPtr<IUnknown> inner(object->Inner());
    ComPtr<IClassFactory> factory;
    inner.As(IID_IClassFactory, factory);
    return factory;
}
