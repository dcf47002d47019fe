// qbsetup's entry: the setup dialog without arguments; otherwise the
// command line's tokens in order, and the COM server after -Embedding.

#include "BusyMessageFilter.h"
#include "BusyState.h"
#include "CommandLine.h"
#include "Registration.h"
#include "RemoveAllAddins.h"
#include "ServerModule.h"
#include "SetupDialog.h"

#include <windows.h>

#include <objbase.h>

#include <new>

namespace {

// Runs the tokens; the exit code is that of the last (un)registration.
int RunCommandLine(const CommandLine& commandLine)
{
    if (commandLine.showDialog) {
        ShowSetupDialog();
        return 0;
    }
    int exitCode = 0;
    for (CommandAction action : commandLine.actions) {
        switch (action) {
        case CommandAction::RegisterServer:
            exitCode = RegisterServer();
            break;
        case CommandAction::UnregisterServer:
            UnregisterServer();
            exitCode = 0;
            break;
        case CommandAction::RemoveAllAddins:
            // Refused while another process applies: said by the exit code,
            // which is otherwise left as it was.
            if (!RemoveAllAddins())
                exitCode = static_cast<int>(busy::kRefused);
            break;
        }
    }
    if (commandLine.serve) {
        // A server whose class cannot be registered ends with that failure.
        const HRESULT served = server::Run();
        if (FAILED(served))
            exitCode = static_cast<int>(served);
    }
    return exitCode;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const char* line = GetCommandLineA();
    const HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // Incoming calls are not access-checked; the result does not matter.
    CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_NONE,
                         RPC_C_IMP_LEVEL_IDENTIFY, nullptr, EOAC_NONE, nullptr);
    server::Initialise(GetCurrentThreadId());

    int exitCode = 0;
    {
        // Every mode calls into other programs, and the server also answers
        // calls: one filter for all of them, for as long as COM is up.
        const BusyMessageFilterRegistration filter;
        try {
            exitCode = RunCommandLine(ParseCommandLine(line));
        } catch (const std::bad_alloc&) {
            exitCode = static_cast<int>(E_OUTOFMEMORY);
        } catch (...) {
            exitCode = static_cast<int>(E_UNEXPECTED);
        }
    }

    if (SUCCEEDED(initialised))
        CoUninitialize();
    return exitCode;
}
