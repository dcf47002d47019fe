#include "ClassTable.h"

#include "ComObject.h"
#include "ComPtr.h"
#include "ContextMenuHandler.h"
#include "ExclusiveLock.h"
#include "ShellModule.h"
#include "WebPageFolder.h"
#include "resource.h"
#include "tlvshell.h"

#include <mutex>

const ClassEntry kClassTable[] = {
    {&CLSID_Talvo6WebPageFolder, IDR_WEBPAGEFOLDER,
     &CreateComObject<WebPageFolder, ShellModuleLock>},
    {&CLSID_Talvo6ShellContextMenu, IDR_SHELLCONTEXTMENU,
     &CreateComObject<ContextMenuHandler, ShellModuleLock>},
};
const size_t kClassCount = sizeof kClassTable / sizeof kClassTable[0];

namespace {

ExclusiveLock g_classObjectsLock;
ComPtr<ClassFactory> g_classObjects[sizeof kClassTable / sizeof kClassTable[0]];

}  // namespace

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    for (size_t i = 0; i < kClassCount; ++i) {
        if (!IsEqualCLSID(clsid, *kClassTable[i].clsid))
            continue;
        if (!g_classObjectsLock.Ready())
            return E_OUTOFMEMORY;
        std::lock_guard<ExclusiveLock> guard(g_classObjectsLock);
        if (!g_classObjects[i]) {
            g_classObjects[i].Reset(new (std::nothrow) ClassFactory(kClassTable[i].createInstance));
            if (!g_classObjects[i])
                return E_OUTOFMEMORY;
        }
        return g_classObjects[i]->QueryInterface(iid, out);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

void ReleaseClassObjects()
{
    std::lock_guard<ExclusiveLock> guard(g_classObjectsLock);
    for (ComPtr<ClassFactory>& classObject : g_classObjects)
        classObject.Reset();
}
