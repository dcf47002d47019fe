// A client of qbsetup's QuillbarTuner that creates its next object at given
// offsets after releasing the last one, as a client polling across the
// server's idle time-out does. Built as a 64-bit program, for the server's
// tests of clients of that bitness; late bound, so that it needs nothing of
// the server's own.
//
//   tuner_boundary_client FIRST LAST STEP     offsets in milliseconds
//
// Prints "<n> created" after a line for every creation or call that failed.

#include <windows.h>

#include <objbase.h>

#include <cstdio>
#include <cstdlib>

namespace {

// QuillbarTuner, as the server registers it.
const CLSID kTuner = {0x63DE7A54, 0xFC93, 0x4B76, {0xBE, 0xE4, 0x5C, 0x26, 0x7F, 0xE8, 0x4D, 0xBE}};
constexpr DISPID kCount = 1;

// Creates an object, reads its Count and lets it go.
HRESULT CreateCallRelease()
{
    IDispatch* tuner = nullptr;
    HRESULT hr = CoCreateInstance(kTuner, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                  reinterpret_cast<void**>(&tuner));
    if (FAILED(hr))
        return hr;
    DISPPARAMS none = {};
    VARIANT count;
    VariantInit(&count);
    hr = tuner->Invoke(kCount, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &count,
                       nullptr, nullptr);
    VariantClear(&count);
    tuner->Release();
    return hr;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    const DWORD first = std::strtoul(argv[1], nullptr, 10);
    const DWORD last = std::strtoul(argv[2], nullptr, 10);
    const DWORD step = std::strtoul(argv[3], nullptr, 10);
    if (step == 0 || FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 2;
    int created = 0;
    for (DWORD offset = first; offset <= last; offset += step) {
        HRESULT hr = CreateCallRelease();
        if (SUCCEEDED(hr)) {
            Sleep(offset);  // the offset after the release is what is tested
            hr = CreateCallRelease();
        }
        if (SUCCEEDED(hr))
            ++created;
        else
            std::printf("%lu ms: %08lX\n", static_cast<unsigned long>(offset),
                        static_cast<unsigned long>(hr));
    }
    std::printf("%d created\n", created);
    CoUninitialize();
    return 0;
}
