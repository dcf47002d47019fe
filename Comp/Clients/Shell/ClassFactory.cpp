#include "ClassFactory.h"

#include "ComCall.h"
#include "ShellModule.h"

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

// The first reference is the module's cache; a second one is an outside
// holder, who keeps the library loaded.
STDMETHODIMP_(ULONG) ClassFactory::AddRef()
{
    const ULONG count = ++references_;
    if (count == 2)
        ShellModule::Lock();
    return count;
}

STDMETHODIMP_(ULONG) ClassFactory::Release()
{
    const ULONG count = --references_;
    if (count == 1)
        ShellModule::Unlock();
    else if (count == 0)
        delete this;
    return count;
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    // An aggregating outer object must hold the inner IUnknown and nothing else.
    if (outer && !IsEqualIID(iid, IID_IUnknown))
        return CLASS_E_NOAGGREGATION;
    return GuardComCall([&] { return creator_(outer, iid, out); });
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock)
{
    if (lock)
        ShellModule::Lock();
    else
        ShellModule::Unlock();
    return S_OK;
}
