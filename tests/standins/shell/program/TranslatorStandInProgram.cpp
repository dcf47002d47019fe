// translator_standin.exe: the translator's automation server in a process of
// its own, a 32-bit local server as the translator's installation registers
// it, so that a context-menu handler of either bitness reaches it across a
// process boundary.
//
//   translator_standin.exe --register <journal>
//       registers the class as this program's local server (in this program's
//       registry view) and its type library, which describes the two
//       interfaces for marshalling; COM then starts it with the journal
//   translator_standin.exe --unregister <journal>
//   translator_standin.exe --journal <journal> -Embedding
//       started by COM: serves until the last object is released, appending
//       every call to <journal>, a line each

#include "ModuleRegistration.h"
#include "TextConversion.h"
#include "TranslatorStandIn.h"

#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {

int RunRegistration(const std::string& journal, bool install)
{
    const std::string module = ModulePath(nullptr);
    RegistrarScript script;
    HRESULT hr = LoadRegistrarScript(nullptr, 1, {{"MODULE", module}, {"JOURNAL", journal}}, script);
    if (SUCCEEDED(hr))
        hr = install ? script.Install() : script.Remove();
    if (SUCCEEDED(hr))
        hr = install ? RegisterModuleTypeLibrary(module) : UnregisterModuleTypeLibrary(module);
    return SUCCEEDED(hr) ? 0 : static_cast<int>(hr);
}

// Until the client has released everything it was given, at most a minute.
int Serve(const std::string& journal)
{
    const TranslatorStandIn server(TranslatorStandIn::Step::None, CLSCTX_LOCAL_SERVER, journal);
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        if (server.Created() ? server.LiveObjects() == 0 : GetTickCount() - start > 60000)
            return 0;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
}

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

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::vector<std::string> arguments = CommandLineArguments();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int result = 2;
    if (arguments.size() >= 3 && arguments[1] == "--register")
        result = RunRegistration(arguments[2], true);
    else if (arguments.size() >= 3 && arguments[1] == "--unregister")
        result = RunRegistration(arguments[2], false);
    else if (arguments.size() >= 3 && arguments[1] == "--journal")
        result = Serve(arguments[2]);
    CoUninitialize();
    return result;
}
