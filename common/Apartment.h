#pragma once

#include <objbase.h>

// Which kind of COM apartment the calling thread lives in. Asked without
// changing it: a thread that had not initialised COM is left so.
enum class Apartment {
    SingleThreaded,
    Multithreaded,  // also a thread that had not initialised COM
};

inline Apartment CurrentApartment() noexcept
{
    // Asking for a single-threaded apartment: S_FALSE when the thread already
    // is one, RPC_E_CHANGED_MODE when it lives in the multithreaded one, S_OK
    // when it had none (it then belongs to the multithreaded apartment, if
    // the process has one). Each success is undone at once.
    const HRESULT asked = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(asked))
        CoUninitialize();
    return asked == S_FALSE ? Apartment::SingleThreaded : Apartment::Multithreaded;
}
