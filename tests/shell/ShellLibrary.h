#pragma once

#include "ComPtr.h"
#include "UniqueHandle.h"

#include <windows.h>

#include <string>

// tlvshell.dll as built, loaded into the test process the way COM loads it,
// with its four entry points at hand.
class ShellLibrary {
public:
    ShellLibrary();

    static std::string Path();  // beside the test program

    HRESULT CanUnloadNow() const { return canUnloadNow_(); }
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) const
    {
        return getClassObject_(clsid, iid, out);
    }
    HRESULT Register() const { return register_(); }
    HRESULT Unregister() const { return unregister_(); }

    HMODULE Module() const { return module_.Get(); }

    // A new object of a class through its class object, as iid.
    template <typename T>
    ComPtr<T> Create(REFCLSID clsid, REFIID iid) const
    {
        ComPtr<IClassFactory> factory;
        ComPtr<T> object;
        if (SUCCEEDED(GetClassObject(clsid, IID_IClassFactory, factory.PutVoid())))
            factory->CreateInstance(nullptr, iid, object.PutVoid());
        return object;
    }

private:
    LibraryHandle module_;
    HRESULT(STDAPICALLTYPE* canUnloadNow_)() = nullptr;
    HRESULT(STDAPICALLTYPE* getClassObject_)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(STDAPICALLTYPE* register_)() = nullptr;
    HRESULT(STDAPICALLTYPE* unregister_)() = nullptr;
};

// The main (32-bit) build's folder, with its 32-bit stand-in programs: the
// test program's own folder, or its parent for the 64-bit tests in "x64".
std::string MainBuildFolder();

// Registers tlvshell.dll for as long as it lives (the prefix's real class
// keys, where COM and script hosts look), and unregisters it afterwards.
class RegisteredShell {
public:
    RegisteredShell();
    ~RegisteredShell();
    RegisteredShell(const RegisteredShell&) = delete;
    RegisteredShell& operator=(const RegisteredShell&) = delete;

    const ShellLibrary& Library() const { return library_; }

private:
    ShellLibrary library_;
};

// The product's folder settings (Setup, Root) under
// HKEY_LOCAL_MACHINE\Software\Talvoworks\TLVO6\Folders in the 32-bit view,
// as its installer writes them, for as long as it lives; the Talvoworks key
// is deleted afterwards.
class FolderSettingsFixture {
public:
    FolderSettingsFixture() = default;
    ~FolderSettingsFixture();
    FolderSettingsFixture(const FolderSettingsFixture&) = delete;
    FolderSettingsFixture& operator=(const FolderSettingsFixture&) = delete;

    void Set(const char* name, const std::string& folder) const;
};
