#pragma once

#include "ClassFactory.h"

#include <windows.h>

#include <cstddef>

// The classes this library serves, in the order in which they are registered.
struct ClassEntry {
    const CLSID* clsid;
    UINT registrationScript;  // resource id, type "REGISTRY"
    ClassFactory::Creator createInstance;
};

extern const ClassEntry kClassTable[];
extern const size_t kClassCount;

// The class object of a class of the table, created at the first request and
// cached; CLASS_E_CLASSNOTAVAILABLE for any other class.
HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out);

// Drops the cached class objects (when the library is unloaded).
void ReleaseClassObjects();
