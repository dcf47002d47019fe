#include "TranslatorLaunch.h"

#include "Bstr.h"
#include "ComPtr.h"

#include <ole2.h>

// The translator's automation server, installed with the translator itself.
// Only the members we call are declared; the others keep their vtable slots.
// The interfaces are implemented in another module, so they must not have
// internal linkage: the compiler would conclude that nothing implements them
// and turn the calls into pure-virtual calls.
struct ITranslatorFileOpener : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE OpenFile(BSTR path, long reserved1, long reserved2,
                                               BSTR reserved3, long reserved4,
                                               IUnknown** document) = 0;
};

struct ITranslatorApplication : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Start(long mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFileOpener(ITranslatorFileOpener** opener) = 0;
};

namespace {

const CLSID CLSID_TranslatorApplication = {
    0xE9991BC0, 0xDF93, 0x11D3, {0xBE, 0xB3, 0x00, 0xE0, 0x29, 0x0C, 0xDC, 0x2F}};
const IID IID_ITranslatorApplication = {
    0xE9991BC1, 0xDF93, 0x11D3, {0xBE, 0xB3, 0x00, 0xE0, 0x29, 0x0C, 0xDC, 0x2F}};

const DWORD kAnyServer =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

// The launch's steps; every failure comes back as the platform gave it.
HRESULT RunLaunch(const std::wstring& path)
{
    ComPtr<ITranslatorApplication> application;
    {
        ComPtr<IUnknown> server;
        HRESULT hr = CoCreateInstance(CLSID_TranslatorApplication, nullptr, kAnyServer,
                                      IID_IUnknown, server.PutVoid());
        if (SUCCEEDED(hr))
            hr = OleRun(server.Get());
        if (SUCCEEDED(hr))
            hr = server.As(IID_ITranslatorApplication, application);
        if (FAILED(hr))
            return hr;
    }

    HRESULT hr = application->Start(1);
    if (FAILED(hr))
        return hr;

    ComPtr<ITranslatorFileOpener> opener;
    hr = application->GetFileOpener(opener.Put());
    if (FAILED(hr))
        return hr;
    if (!opener)
        return E_POINTER;

    Bstr file(path);
    Bstr empty(std::wstring{});
    if (!file || !empty)
        return E_OUTOFMEMORY;
    ComPtr<IUnknown> document;
    return opener->OpenFile(file.Get(), 0, 0, empty.Get(), 0, document.Put());
}

}  // namespace

HRESULT LaunchTranslator(const std::wstring& path)
{
    return SUCCEEDED(RunLaunch(path)) ? S_OK : E_FAIL;
}
