#pragma once

#include "ComPtr.h"

#include <oaidl.h>

// The library's own type library: the "TYPELIB" resource 1 of its file, or
// else a file beside it with the extension ".tlb".
HRESULT LoadOwnTypeLibrary(ComPtr<ITypeLib>& library);

// Type information of one interface from the registered type library
// (TLVSHELL 1.0), falling back to the library's own when it is not registered.
HRESULT GetRegisteredTypeInfo(REFIID iid, ComPtr<ITypeInfo>& info);
