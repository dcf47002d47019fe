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

#include "StandInProgram.h"
#include "TranslatorStandIn.h"

#include <objbase.h>

#include <string>
#include <vector>

namespace {

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

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::vector<std::string> arguments = CommandLineArguments();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int result = 2;
    if (arguments.size() >= 3 && arguments[1] == "--register")
        result = RunRegistration({{"JOURNAL", arguments[2]}}, true);
    else if (arguments.size() >= 3 && arguments[1] == "--unregister")
        result = RunRegistration({{"JOURNAL", arguments[2]}}, false);
    else if (arguments.size() >= 3 && arguments[1] == "--journal")
        result = Serve(arguments[2]);
    CoUninitialize();
    return result;
}
