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

std::string MainBuildFolder()
{
    const std::string folder = BinaryFolder();
    const std::string companion = "\\x64\\";
    return folder.size() > companion.size() &&
                   folder.compare(folder.size() - companion.size(), companion.size(), companion) == 0
               ? folder.substr(0, folder.size() - companion.size() + 1)
               : folder;
}

RegisteredShell::RegisteredShell()
{
    EXPECT_EQ(library_.Register(), S_OK);
}

RegisteredShell::~RegisteredShell()
{
    library_.Unregister();
}

// Where the product's 32-bit installer writes them, whatever the bitness of
// the test.
FolderSettingsFixture::~FolderSettingsFixture()
{
    reg::DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Talvoworks", KEY_WOW64_32KEY);
}

void FolderSettingsFixture::Set(const char* name, const std::string& folder) const
{
    reg::SetString(HKEY_LOCAL_MACHINE, "Software\\Talvoworks\\TLVO6\\Folders", name, folder,
                   KEY_WOW64_32KEY);
}
