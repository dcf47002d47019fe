#pragma once

#include <unknwn.h>

#include <atomic>

// The class object of one class of this library. The module keeps one
// reference to it in its cache; it counts in the module's lock count only
// while somebody outside holds it as well.
class ClassFactory final : public IClassFactory {
public:
    using Creator = HRESULT (*)(IUnknown* outer, REFIID iid, void** out);

    explicit ClassFactory(Creator creator) : creator_(creator) {}

    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    ~ClassFactory() = default;

    Creator creator_;
    std::atomic<ULONG> references_{1};
};
