#pragma once

#include "ComPtr.h"

#include <oaidl.h>

// Type information of one interface from the registered type library
// (TLVSHELL 1.0), falling back to the library's own when it is not registered.
HRESULT GetRegisteredTypeInfo(REFIID iid, ComPtr<ITypeInfo>& info);
