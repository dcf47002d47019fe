#include "ShellLibrary.h"

#include "ProgramRun.h"
#include "ScratchRegistry.h"

#include <gtest/gtest.h>

namespace {

template <typename Function>
void Bind(HMODULE module, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    EXPECT_NE(function, nullptr) << name;
}

}  // namespace

ShellLibrary::ShellLibrary() : module_(LoadLibraryA(Path().c_str()))
{
    EXPECT_TRUE(module_) << "cannot load " << Path() << ": " << GetLastError();
    if (!module_)
        return;
    Bind(module_.Get(), "DllCanUnloadNow", canUnloadNow_);
    Bind(module_.Get(), "DllGetClassObject", getClassObject_);
    Bind(module_.Get(), "DllRegisterServer", register_);
    Bind(module_.Get(), "DllUnregisterServer", unregister_);
}

std::string ShellLibrary::Path()
{
    return BinaryFolder() + "tlvshell.dll";
}

RegisteredShell::RegisteredShell()
{
    EXPECT_EQ(library_.Register(), S_OK);
}

RegisteredShell::~RegisteredShell()
{
    library_.Unregister();
}

FolderSettingsFixture::~FolderSettingsFixture()
{
    reg::DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Talvoworks");
}

void FolderSettingsFixture::Set(const char* name, const std::string& folder) const
{
    reg::SetString(HKEY_LOCAL_MACHINE, "Software\\Talvoworks\\TLVO6\\Folders", name, folder);
}
