#include "StandInProgram.h"

#include "ModuleRegistration.h"
#include "TextConversion.h"

#include <shellapi.h>

std::vector<std::string> CommandLineArguments()
{
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(ToNarrow(wide[i]));
    LocalFree(wide);
    return arguments;
}

int RunRegistration(RegistrarScript::Replacements replacements, bool install)
{
    const std::string module = ModulePath(nullptr);
    replacements["MODULE"] = module;
    RegistrarScript script;
    HRESULT hr = LoadRegistrarScript(nullptr, 1, replacements, script);
    if (SUCCEEDED(hr))
        hr = install ? script.Install() : script.Remove();
    if (SUCCEEDED(hr))
        hr = install ? RegisterModuleTypeLibrary(module) : UnregisterModuleTypeLibrary(module);
    return SUCCEEDED(hr) ? 0 : static_cast<int>(hr);
}
