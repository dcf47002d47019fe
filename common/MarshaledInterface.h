#pragma once

#include "ComPtr.h"

#include <objbase.h>

#include <utility>

// An interface pointer on its way from one apartment to another: marshaled
// in the apartment that has it, taken out once in the apartment that needs
// it. Marshaled data that nobody takes is released with its owner.
class MarshaledInterface {
public:
    MarshaledInterface() noexcept = default;
    ~MarshaledInterface() { Drop(); }
    MarshaledInterface(const MarshaledInterface&) = delete;
    MarshaledInterface& operator=(const MarshaledInterface&) = delete;

    // Hands the marshaled data over (to a holder shared with another thread,
    // say), releasing what this one held before.
    MarshaledInterface& operator=(MarshaledInterface&& other) noexcept
    {
        if (this != &other) {
            Drop();
            stream_ = std::exchange(other.stream_, nullptr);
        }
        return *this;
    }

    // In the apartment that has the pointer.
    HRESULT Marshal(REFIID iid, IUnknown* pointer) noexcept
    {
        Drop();
        return CoMarshalInterThreadInterfaceInStream(iid, pointer, &stream_);
    }

    // In the apartment that needs it, once; E_UNEXPECTED when there is
    // nothing (any more).
    template <typename T>
    HRESULT Take(REFIID iid, ComPtr<T>& pointer) noexcept
    {
        pointer.Reset();
        if (!stream_)
            return E_UNEXPECTED;
        return CoGetInterfaceAndReleaseStream(std::exchange(stream_, nullptr), iid,
                                              pointer.PutVoid());
    }

private:
    // Taking the pointer out and letting it go releases the marshaled data
    // with its reference, in whichever apartment this happens.
    void Drop() noexcept
    {
        ComPtr<IUnknown> unwanted;
        Take(IID_IUnknown, unwanted);
    }

    IStream* stream_ = nullptr;
};
