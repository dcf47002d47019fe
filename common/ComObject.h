#pragma once

#include "ComPtr.h"

#include <unknwn.h>

#include <atomic>
#include <new>
#include <utility>

// One row of a class's interface table: the interface id and how to reach
// that interface from the object.
template <typename Object>
struct InterfaceEntry {
    const IID* iid;
    void* (*cast)(Object* object);
};

template <typename Object, typename Interface>
void* CastTo(Object* object)
{
    return static_cast<Interface*>(object);
}

// For objects whose module keeps no lock count (those of a program that
// serves no classes, say).
struct NoModuleLock {
    static void Lock() {}
    static void Unlock() {}
};

// Completes a class into a COM object: reference counting, QueryInterface
// from the class's table (Impl::kInterfaces, ended by a null row),
// aggregation, and the module's lock count (ModuleLock::Lock while the object
// lives: taken once it is built, given back only after it is destroyed whole,
// members and memory, so that a module free to unload at a count of 0 is
// never unloaded under the object's own destructors). Impl derives from its
// interfaces and implements their own members; the IUnknown members of all
// of them are these, which go to the controlling unknown: the outer object
// when aggregated, else the object's own inner unknown. A new object holds
// one reference, on its inner unknown.
template <typename Impl, typename ModuleLock = NoModuleLock>
class ComObject final : public Impl {
public:
    template <typename... Args>
    explicit ComObject(IUnknown* outer, Args&&... args)
        : Impl(std::forward<Args>(args)...), inner_(this), controlling_(outer ? outer : &inner_)
    {
        ModuleLock::Lock();
    }

    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        return controlling_->QueryInterface(iid, out);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return controlling_->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return controlling_->Release(); }

    // The object's own identity: the only IUnknown that an aggregating
    // outer object may hold.
    IUnknown* Inner() { return &inner_; }

private:
    // Only the last Release destroys the object, and then gives the lock back.
    ~ComObject() = default;

    class InnerUnknown final : public IUnknown {
    public:
        explicit InnerUnknown(ComObject* owner) : owner_(owner) {}

        STDMETHODIMP QueryInterface(REFIID iid, void** out) override
        {
            if (!out)
                return E_POINTER;
            *out = nullptr;
            if (IsEqualIID(iid, IID_IUnknown)) {
                *out = static_cast<IUnknown*>(this);
                AddRef();
                return S_OK;
            }
            for (const InterfaceEntry<Impl>* entry = Impl::kInterfaces; entry->iid; ++entry) {
                if (IsEqualIID(iid, *entry->iid)) {
                    *out = entry->cast(owner_);
                    // Through the interface, so that an outer object counts it.
                    static_cast<IUnknown*>(*out)->AddRef();
                    return S_OK;
                }
            }
            return E_NOINTERFACE;
        }
        STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
        STDMETHODIMP_(ULONG) Release() override
        {
            const ULONG left = --references_;
            if (left == 0) {
                delete owner_;  // this inner unknown with it
                ModuleLock::Unlock();
            }
            return left;
        }

    private:
        ComObject* owner_;
        std::atomic<ULONG> references_{1};
    };

    InnerUnknown inner_;
    IUnknown* controlling_;
};

// Instance creator for a class factory: a plain object (null outer) or an
// aggregated one, finished by Impl::FinishConstruction before anybody sees
// it, then handed out through iid. A failure destroys the object.
template <typename Impl, typename ModuleLock>
HRESULT CreateComObject(IUnknown* outer, REFIID iid, void** out)
{
    auto* object = new (std::nothrow) ComObject<Impl, ModuleLock>(outer);
    if (!object)
        return E_OUTOFMEMORY;
    ComPtr<IUnknown> inner(object->Inner());  // the one reference so far
    const HRESULT hr = object->FinishConstruction();
    return FAILED(hr) ? hr : inner->QueryInterface(iid, out);
}
