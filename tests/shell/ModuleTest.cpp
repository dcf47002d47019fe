#include "ShellLibrary.h"

#include "tlvshell.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <atomic>

namespace {

const CLSID kNoSuchClass = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};

// An object that aggregates another: counts the references taken on it.
class Outer final : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }
    std::atomic<ULONG> references{1};
};

TEST(ShellModule, ExportsItsFourEntryPointsByNameAtOrdinalsOneToFour)
{
    const ShellLibrary library;
    const char* const names[] = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                 "DllUnregisterServer"};
    for (WORD ordinal = 1; ordinal <= 4; ++ordinal) {
        const FARPROC byName = GetProcAddress(library.Module(), names[ordinal - 1]);
        EXPECT_NE(byName, nullptr) << names[ordinal - 1];
        EXPECT_EQ(GetProcAddress(library.Module(), MAKEINTRESOURCEA(ordinal)), byName)
            << names[ordinal - 1];
    }
    EXPECT_EQ(GetProcAddress(library.Module(), MAKEINTRESOURCEA(5)), nullptr);
}

TEST(ShellModule, ServesOneCachedClassObjectPerClassAndNoOtherClass)
{
    const ShellLibrary library;
    for (const CLSID* clsid : {&CLSID_Talvo6WebPageFolder, &CLSID_Talvo6ShellContextMenu}) {
        ComPtr<IClassFactory> first;
        ComPtr<IUnknown> second;
        ASSERT_EQ(library.GetClassObject(*clsid, IID_IClassFactory, first.PutVoid()), S_OK);
        ASSERT_EQ(library.GetClassObject(*clsid, IID_IUnknown, second.PutVoid()), S_OK);
        EXPECT_EQ(static_cast<IUnknown*>(first.Get()), second.Get());
    }

    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(library.GetClassObject(kNoSuchClass, IID_IClassFactory, &out),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(library.GetClassObject(CLSID_Talvo6WebPageFolder, IID_IDispatch, &out),
              E_NOINTERFACE);
}

TEST(ShellModule, ClassFactoryChecksItsArgumentsAndAllowsAggregationForIUnknownOnly)
{
    const ShellLibrary library;
    for (const CLSID* clsid : {&CLSID_Talvo6WebPageFolder, &CLSID_Talvo6ShellContextMenu}) {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(library.GetClassObject(*clsid, IID_IClassFactory, factory.PutVoid()), S_OK);
        Outer outer;

        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(factory->CreateInstance(&outer, IID_IDispatch, &out), CLASS_E_NOAGGREGATION);
        EXPECT_EQ(out, nullptr);
        out = reinterpret_cast<void*>(1);
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);

        // Aggregated: the inner IUnknown is the object's own; every other
        // interface counts its references on the outer object.
        ComPtr<IUnknown> inner;
        ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, inner.PutVoid()), S_OK);
        const IID& own = *clsid == CLSID_Talvo6WebPageFolder ? IID_ITalvo6WebPageFolder
                                                             : IID_IContextMenu;
        ComPtr<IUnknown> part;
        ASSERT_EQ(inner->QueryInterface(own, part.PutVoid()), S_OK);
        EXPECT_EQ(outer.references, 2u);
        ComPtr<IUnknown> viaPart;
        EXPECT_EQ(part->QueryInterface(IID_IUnknown, viaPart.PutVoid()), E_NOINTERFACE)
            << "the part must answer as the outer object does";
        part.Reset();
        EXPECT_EQ(outer.references, 1u);
    }
}

TEST(ShellModule, CanUnloadOnlyWhenNoObjectClassObjectOrLockIsHeld)
{
    const ShellLibrary library;
    EXPECT_EQ(library.CanUnloadNow(), S_OK);
    {
        auto handler = library.Create<IContextMenu>(CLSID_Talvo6ShellContextMenu, IID_IContextMenu);
        ASSERT_TRUE(handler);
        EXPECT_EQ(library.CanUnloadNow(), S_FALSE);
    }
    EXPECT_EQ(library.CanUnloadNow(), S_OK);
    {
        auto folder =
            library.Create<IDispatch>(CLSID_Talvo6WebPageFolder, IID_ITalvo6WebPageFolder);
        ASSERT_TRUE(folder);
        EXPECT_EQ(library.CanUnloadNow(), S_FALSE);
    }
    EXPECT_EQ(library.CanUnloadNow(), S_OK);

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(library.GetClassObject(CLSID_Talvo6ShellContextMenu, IID_IClassFactory,
                                     factory.PutVoid()),
              S_OK);
    EXPECT_EQ(library.CanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory.Reset();
    EXPECT_EQ(library.CanUnloadNow(), S_FALSE) << "the server lock keeps the library";
    ASSERT_EQ(library.GetClassObject(CLSID_Talvo6ShellContextMenu, IID_IClassFactory,
                                     factory.PutVoid()),
              S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory.Reset();
    EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

}  // namespace
