#pragma once

// Late-bound calls into the Office object models. An AutomationObject owns
// one IDispatch reference together with the interface it stands for; members
// are called by name, and each member's DISPID is looked up once per
// interface that declares it (DeclaringInterface.h) and then taken from a
// process-wide cache. Every failing call
// raises ComError, calls through a null object raise E_POINTER.

#include "ComError.h"
#include "ComPtr.h"
#include "Variant.h"

#include <oaidl.h>

#include <initializer_list>
#include <string>

// A VT_BSTR argument from narrow text; raises E_OUTOFMEMORY when it cannot be made.
Variant Text(const std::string& narrow);

class AutomationObject {
public:
    AutomationObject() = default;
    AutomationObject(ComPtr<IDispatch> object, const IID& iid);
    // No object (Office's Nothing), of the interface iid.
    static AutomationObject Nothing(const IID& iid) { return AutomationObject(ComPtr<IDispatch>(), iid); }

    // Asks source for iid. E_NOINTERFACE (or a null source) gives a null
    // object; any other failure raises.
    static AutomationObject Query(IUnknown* source, const IID& iid);
    // The same object seen through another of its interfaces.
    AutomationObject As(const IID& iid) const { return Query(object_.Get(), iid); }

    explicit operator bool() const { return static_cast<bool>(object_); }
    IDispatch* Raw() const { return object_.Get(); }
    const IID& Iid() const { return iid_; }
    void Reset() { object_.Reset(); }

    // Property get (also with arguments, such as Item(index)).
    template <typename... Args>
    Variant Get(const char* name, const Args&... args) const
    {
        return Invoke(name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, {&Arg(args)...});
    }
    // Property get whose value is an object of interface iid (null for Nothing).
    template <typename... Args>
    AutomationObject GetAs(const IID& iid, const char* name, const Args&... args) const
    {
        return ToObject(Get(name, args...), iid);
    }
    // Property gets of a text or a number; another type raises DISP_E_TYPEMISMATCH.
    std::string GetText(const char* name) const;
    long GetNumber(const char* name) const;

    void Put(const char* name, const Variant& value) const;

    template <typename... Args>
    Variant Call(const char* name, const Args&... args) const
    {
        return Invoke(name, DISPATCH_METHOD, {&Arg(args)...});
    }
    template <typename... Args>
    AutomationObject CallAs(const IID& iid, const char* name, const Args&... args) const
    {
        return ToObject(Call(name, args...), iid);
    }

private:
    static const VARIANT& Arg(const VARIANT& v) { return v; }
    static const VARIANT& Arg(const Variant& v) { return v.Get(); }

    Variant Invoke(const char* name, WORD flags, std::initializer_list<const VARIANT*> args) const;
    DISPID DispatchId(const char* name) const;
    AutomationObject ToObject(const Variant& value, const IID& iid) const;
    [[noreturn]] void Fail(HRESULT result) const;

    ComPtr<IDispatch> object_;
    IID iid_ = IID_NULL;
};

// Forgets every cached DISPID (for instance after a server was replaced by
// one with another numbering).
void ClearDispatchIdCache();
