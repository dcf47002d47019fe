#pragma once

// The QuillbarTuner COM object: lists the Office hosts installed in their
// 2000 or XP versions, reports and switches their add-ins, and opens the
// setup dialog. The only class of qbsetup's server.

#include "ComPtr.h"
#include "QBSetup_h.h"

#include <objbase.h>

// The class object for CoRegisterClassObject; each CreateInstance makes a new
// QuillbarTuner.
ComPtr<IClassFactory> NewQuillbarTunerFactory();
