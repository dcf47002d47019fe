#include "Automation.h"

#include "DeclaringInterface.h"
#include "ExclusiveLock.h"
#include "TextConversion.h"

#include <cstring>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace {

// DISPIDs are part of an interface's contract, so one look-up per member and
// the interface that declares it serves every object and every call after
// it: a member inherited from a base interface (Caption of a button, a
// drop-down and a popup alike) is looked up once. Calls into Office cross
// process boundaries; this halves their number. Without its lock (no memory
// to set it up) the cache keeps nothing and every call looks its member up.
class DispatchIdCache {
public:
    static DispatchIdCache& Instance()
    {
        static DispatchIdCache cache;
        return cache;
    }

    bool Find(const IID& iid, const char* name, DISPID& id)
    {
        if (!lock_.Ready())
            return false;
        std::lock_guard<ExclusiveLock> lock(lock_);
        const auto found = ids_.find(Key(iid, name));
        if (found == ids_.end())
            return false;
        id = found->second;
        return true;
    }
    void Store(const IID& iid, const char* name, DISPID id)
    {
        if (!lock_.Ready())
            return;
        std::lock_guard<ExclusiveLock> lock(lock_);
        ids_[Key(iid, name)] = id;
    }
    void Clear()
    {
        std::lock_guard<ExclusiveLock> lock(lock_);
        ids_.clear();
    }

private:
    static std::string Key(const IID& iid, const char* name)
    {
        std::string key(reinterpret_cast<const char*>(&iid), sizeof iid);
        return key.append(name);
    }

    ExclusiveLock lock_;
    std::map<std::string, DISPID> ids_;
};

// Frees what Invoke may have put into an EXCEPINFO.
struct ExceptionInfo : EXCEPINFO {
    ExceptionInfo() : EXCEPINFO() {}
    ~ExceptionInfo()
    {
        SysFreeString(bstrSource);
        SysFreeString(bstrDescription);
        SysFreeString(bstrHelpFile);
    }
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;

    // The server's own failure code behind DISP_E_EXCEPTION, when it gave one.
    HRESULT Code(HRESULT invokeResult)
    {
        if (invokeResult != DISP_E_EXCEPTION)
            return invokeResult;
        if (pfnDeferredFillIn)
            pfnDeferredFillIn(this);
        if (FAILED(scode))
            return scode;
        return wCode ? MAKE_HRESULT(SEVERITY_ERROR, FACILITY_DISPATCH, wCode) : invokeResult;
    }
};

}  // namespace

Variant Text(const std::string& narrow)
{
    Variant text = Variant::Text(narrow);
    if (text.IsNullString())
        throw ComError(E_OUTOFMEMORY, IID_NULL);
    return text;
}

void ClearDispatchIdCache()
{
    DispatchIdCache::Instance().Clear();
}

AutomationObject::AutomationObject(ComPtr<IDispatch> object, const IID& iid)
    : object_(std::move(object)), iid_(iid)
{
}

AutomationObject AutomationObject::Query(IUnknown* source, const IID& iid)
{
    if (!source)
        return AutomationObject::Nothing(iid);
    ComPtr<IDispatch> object;
    const HRESULT hr = source->QueryInterface(iid, object.PutVoid());
    if (hr == E_NOINTERFACE)
        return AutomationObject::Nothing(iid);
    if (FAILED(hr))
        throw ComError(hr, iid);
    return AutomationObject(std::move(object), iid);
}

void AutomationObject::Fail(HRESULT result) const
{
    throw ComError(result, iid_);
}

DISPID AutomationObject::DispatchId(const char* name) const
{
    const IID& declaring = DeclaringInterface(iid_, name);
    DISPID id = DISPID_UNKNOWN;
    if (DispatchIdCache::Instance().Find(declaring, name, id))
        return id;
    std::wstring wide = ToWide(name);
    LPOLESTR names[] = {wide.data()};
    const HRESULT hr = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        Fail(hr);
    DispatchIdCache::Instance().Store(declaring, name, id);
    return id;
}

Variant AutomationObject::Invoke(const char* name, WORD flags,
                                 std::initializer_list<const VARIANT*> args) const
{
    if (!object_)
        Fail(E_POINTER);
    const DISPID id = DispatchId(name);

    // Invoke takes the arguments last to first; by-value arguments are only read.
    std::vector<VARIANT> reversed(args.size());
    std::size_t slot = args.size();
    for (const VARIANT* arg : args)
        reversed[--slot] = *arg;
    DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};

    Variant result;
    ExceptionInfo exception;
    UINT badArgument = 0;
    const HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                       result.Put(), &exception, &badArgument);
    if (FAILED(hr))
        Fail(exception.Code(hr));
    return result;
}

void AutomationObject::Put(const char* name, const Variant& value) const
{
    if (!object_)
        Fail(E_POINTER);
    const DISPID id = DispatchId(name);

    VARIANT argument = value.Get();
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params = {&argument, &named, 1, 1};
    ExceptionInfo exception;
    UINT badArgument = 0;
    const HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                                       &params, nullptr, &exception, &badArgument);
    if (FAILED(hr))
        Fail(exception.Code(hr));
}

AutomationObject AutomationObject::ToObject(const Variant& value, const IID& iid) const
{
    const VARIANT& v = value.Get();
    switch (v.vt) {
    case VT_DISPATCH:
        return AutomationObject(ComPtr<IDispatch>::Share(v.pdispVal), iid);
    case VT_UNKNOWN:
        return Query(v.punkVal, iid);
    case VT_EMPTY:
    case VT_NULL:
        return AutomationObject::Nothing(iid);  // Nothing
    default:
        Fail(DISP_E_TYPEMISMATCH);
    }
}

std::string AutomationObject::GetText(const char* name) const
{
    const Variant value = Get(name);
    if (value.Type() != VT_BSTR)
        Fail(DISP_E_TYPEMISMATCH);
    return ToNarrow(value.Get().bstrVal);
}

long AutomationObject::GetNumber(const char* name) const
{
    long number = 0;
    if (!VariantToLong(Get(name).Get(), number))
        Fail(DISP_E_TYPEMISMATCH);
    return number;
}
