// bare_tuner_server.exe: the floor against which QuillbarTuner's calls and
// activation are measured. A local server with one class of QuillbarTuner's
// shape: one dual interface served from its own type library, answering with
// constant data of the same types. Nothing else: no security settings, no
// message filter, no idle monitor (it ends when its last object goes).
//
//   bare_tuner_server.exe --register     class, ProgID and type library
//   bare_tuner_server.exe --unregister
//   bare_tuner_server.exe -Embedding     started by COM
//
// It links only what the tuner links too (no shell32, say), so that its
// start-up is a floor for the tuner's.

#include "BareTuner_h.h"
#include "ComCall.h"
#include "ComObject.h"
#include "ModuleRegistration.h"
#include "RegistrarScript.h"
#include "TextConversion.h"

#include <objbase.h>

#include <atomic>
#include <cctype>
#include <cwchar>
#include <new>
#include <string>

namespace {

constexpr long kHostCount = 5;
constexpr wchar_t kHostName[] = L"Microsoft PowerPoint";
constexpr UINT_PTR kNobodyCameTimer = 1;

std::atomic<LONG> liveObjects{0};
bool served = false;

// Every object and server lock; the last one to go ends the server.
struct ServerLock {
    static void Lock()
    {
        served = true;
        ++liveObjects;
    }
    static void Unlock()
    {
        if (--liveObjects == 0)
            PostQuitMessage(0);
    }
};

// Loaded at the first request and kept for the life of the process.
ITypeInfo* typeInfo = nullptr;

HRESULT BareTypeInfo(ITypeInfo*& info)
{
    return GuardComCall([&] {
        if (!typeInfo) {
            ComPtr<ITypeLib> library;
            HRESULT hr =
                LoadTypeLibEx(ToWide(ModulePath(nullptr)).c_str(), REGKIND_NONE, library.Put());
            if (SUCCEEDED(hr))
                hr = library->GetTypeInfoOfGuid(IID_IBareTuner, &typeInfo);
            if (FAILED(hr))
                return hr;
        }
        info = typeInfo;
        return S_OK;
    });
}

class BareTuner : public IBareTuner {
public:
    static const InterfaceEntry<BareTuner> kInterfaces[];
    virtual ~BareTuner() = default;
    HRESULT FinishConstruction() { return S_OK; }

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
        ITypeInfo* type = nullptr;
        const HRESULT hr = BareTypeInfo(type);
        if (SUCCEEDED(hr)) {
            type->AddRef();
            *info = type;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override
    {
        ITypeInfo* type = nullptr;
        const HRESULT hr = BareTypeInfo(type);
        return FAILED(hr) ? hr : DispGetIDsOfNames(type, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* badArgument) override
    {
        ITypeInfo* type = nullptr;
        const HRESULT hr = BareTypeInfo(type);
        return FAILED(hr) ? hr
                          : DispInvoke(static_cast<IBareTuner*>(this), type, id, flags, params,
                                       result, exception, badArgument);
    }

    HRESULT STDMETHODCALLTYPE get_Count(long* count) override
    {
        if (!count)
            return E_POINTER;
        *count = kHostCount;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Name(long index, BSTR* name) override
    {
        if (index < 0 || index >= kHostCount)
            return E_INVALIDARG;
        if (!name)
            return E_POINTER;
        *name = SysAllocStringLen(kHostName, static_cast<UINT>(std::wcslen(kHostName)));
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_Enabled(long index, long* enabled) override
    {
        if (index < 0 || index >= kHostCount)
            return E_INVALIDARG;
        if (!enabled)
            return E_POINTER;
        *enabled = index % 2;
        return S_OK;
    }
};

const InterfaceEntry<BareTuner> BareTuner::kInterfaces[] = {
    {&IID_IDispatch, CastTo<BareTuner, IDispatch>},
    {&IID_IBareTuner, CastTo<BareTuner, IBareTuner>},
    {nullptr, nullptr},
};

class BareTunerFactory : public IClassFactory {
public:
    static const InterfaceEntry<BareTunerFactory> kInterfaces[];
    virtual ~BareTunerFactory() = default;

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return CreateComObject<BareTuner, ServerLock>(nullptr, iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        lock ? ServerLock::Lock() : ServerLock::Unlock();
        return S_OK;
    }
};

const InterfaceEntry<BareTunerFactory> BareTunerFactory::kInterfaces[] = {
    {&IID_IClassFactory, CastTo<BareTunerFactory, IClassFactory>},
    {nullptr, nullptr},
};

// The class, ProgID and type library, written or removed. (Not the stand-ins'
// RunRegistration: that object file brings shell32 into the process, which
// would make this floor's start-up heavier than the tuner's.)
int Register(bool install)
{
    const std::string module = ModulePath(nullptr);
    RegistrarScript script;
    HRESULT hr = LoadRegistrarScript(nullptr, 1, {{"MODULE", module}}, script);
    if (SUCCEEDED(hr))
        hr = install ? script.Install() : script.Remove();
    if (SUCCEEDED(hr))
        hr = install ? RegisterModuleTypeLibrary(module) : UnregisterModuleTypeLibrary(module);
    return SUCCEEDED(hr) ? 0 : static_cast<int>(hr);
}

// Whether the command line holds the switch, in any case (COM appends
// " -Embedding"); the switches are ASCII.
bool HasSwitch(const char* name)
{
    std::string line = GetCommandLineA();
    for (char& c : line)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return line.find(std::string(" ") + name) != std::string::npos;
}

// Until the last object goes; a minute when nobody comes at all.
int Serve()
{
    auto* object = new (std::nothrow) ComObject<BareTunerFactory>(nullptr);
    if (!object)
        return 1;
    const ComPtr<IUnknown> factory(object->Inner());
    DWORD cookie = 0;
    if (FAILED(CoRegisterClassObject(CLSID_BareTuner, factory.Get(), CLSCTX_LOCAL_SERVER,
                                     REGCLS_MULTIPLEUSE, &cookie)))
        return 1;
    SetTimer(nullptr, kNobodyCameTimer, 60000, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && !served)
            break;
        DispatchMessageA(&message);
    }
    CoRevokeClassObject(cookie);
    if (typeInfo)
        typeInfo->Release();
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int result = 2;
    if (HasSwitch("--register"))
        result = Register(true);
    else if (HasSwitch("--unregister"))
        result = Register(false);
    else if (HasSwitch("-embedding"))
        result = Serve();
    CoUninitialize();
    return result;
}
