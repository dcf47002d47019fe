#include "ShellObject.h"

#include <cstdio>
#include <string>

namespace {

std::string ProgramFolder()
{
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

}  // namespace

ShellObject::ShellObject()
{
    const std::string path = ProgramFolder() + "tlvshell.dll";
    module_.Reset(LoadLibraryA(path.c_str()));
    if (!module_) {
        std::fprintf(stderr, "ERROR: cannot load %s (%lu)\n", path.c_str(), GetLastError());
        return;
    }
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    const auto getClassObject = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(module_.Get(), "DllGetClassObject")));
    const HRESULT hr = getClassObject ? getClassObject(CLSID_Talvo6WebPageFolder, IID_IClassFactory,
                                                       factory_.PutVoid())
                                      : E_NOINTERFACE;
    if (FAILED(hr))
        std::fprintf(stderr, "ERROR: no class object for Talvo6WebPageFolder (0x%08lx)\n",
                     static_cast<unsigned long>(hr));
}

ComPtr<ITalvo6WebPageFolder> ShellObject::NewFolder() const
{
    ComPtr<ITalvo6WebPageFolder> folder;
    if (factory_)
        factory_->CreateInstance(nullptr, IID_ITalvo6WebPageFolder, folder.PutVoid());
    return folder;
}

long CountOf(ITalvo6WebPageFolder* folder)
{
    long count = -1;
    return folder && SUCCEEDED(folder->get_Count(&count)) ? count : -1;
}
