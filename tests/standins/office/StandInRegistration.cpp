#include "StandInRegistration.h"

#include <ComObject.h>
#include <GuidText.h>

#include <atomic>

namespace standin {

namespace {

std::atomic<int> nextMoniker{0};

class ClassFactory : public IClassFactory {
public:
    static const InterfaceEntry<ClassFactory> kInterfaces[];

    explicit ClassFactory(InstanceMaker make) : make_(std::move(make)) {}
    virtual ~ClassFactory() = default;

    int instances = 0;

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        ++instances;
        return make_(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    InstanceMaker make_;
};

const InterfaceEntry<ClassFactory> ClassFactory::kInterfaces[] = {
    {&IID_IClassFactory, CastTo<ClassFactory, IClassFactory>},
    {nullptr, nullptr},
};

// The machine's class registrations, where COM looks ProgIDs up. Opened
// while the program starts, before any test redirects HKEY_LOCAL_MACHINE to a
// scratch key: a handle opened before the redirection keeps its real target.
HKEY RealClassesKey()
{
    static const HKEY classes = [] {
        HKEY key = nullptr;
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes", 0, KEY_ALL_ACCESS, &key);
        return key;
    }();
    return classes;
}
const HKEY openedAtStart = RealClassesKey();

}  // namespace

ComPtr<IClassFactory> NewClassFactory(InstanceMaker make)
{
    ComPtr<IUnknown> inner((new ComObject<ClassFactory>(nullptr, std::move(make)))->Inner());
    ComPtr<IClassFactory> factory;
    inner.As(IID_IClassFactory, factory);
    return factory;
}

RunningObject::RunningObject(IUnknown* object)
{
    ComPtr<IRunningObjectTable> table;
    ComPtr<IMoniker> moniker;
    const std::wstring item = L"QuillbarStandIn." + std::to_wstring(GetCurrentProcessId()) +
                              L"." + std::to_wstring(++nextMoniker);
    result_ = GetRunningObjectTable(0, table.Put());
    if (SUCCEEDED(result_))
        result_ = CreateItemMoniker(L"!", item.c_str(), moniker.Put());
    if (SUCCEEDED(result_))
        result_ = table->Register(ROTFLAGS_REGISTRATIONKEEPSALIVE, object, moniker.Get(), &cookie_);
}

RunningObject::~RunningObject()
{
    ComPtr<IRunningObjectTable> table;
    if (cookie_ && SUCCEEDED(GetRunningObjectTable(0, table.Put())))
        table->Revoke(cookie_);
}

CreatableClass::CreatableClass(const std::string& progId, InstanceMaker make) : progId_(progId)
{
    CoCreateGuid(&clsid_);
    factory_ = NewClassFactory(std::move(make));
    result_ = CoRegisterClassObject(clsid_, factory_.Get(), CLSCTX_LOCAL_SERVER,
                                    REGCLS_MULTIPLEUSE, &cookie_);
    if (FAILED(result_))
        return;
    const std::string clsid = ClsidText();
    HKEY key = nullptr;
    LONG written = RegCreateKeyExA(RealClassesKey(), (progId + "\\CLSID").c_str(), 0, nullptr,
                                   0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (written == ERROR_SUCCESS) {
        written = RegSetValueExA(key, nullptr, 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(clsid.c_str()),
                                 static_cast<DWORD>(clsid.size() + 1));
        RegCloseKey(key);
    }
    result_ = HRESULT_FROM_WIN32(written);
}

CreatableClass::~CreatableClass()
{
    if (cookie_)
        CoRevokeClassObject(cookie_);
    RegDeleteKeyA(RealClassesKey(), (progId_ + "\\CLSID").c_str());
    RegDeleteKeyA(RealClassesKey(), progId_.c_str());
}

std::string CreatableClass::ClsidText() const
{
    return GuidText(clsid_);
}

int CreatableClass::Instances() const
{
    return static_cast<ClassFactory*>(factory_.Get())->instances;
}

}  // namespace standin
