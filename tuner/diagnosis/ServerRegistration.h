#pragma once

// A file registered for COM under HKEY_CLASSES_ROOT (a class's
// InprocServer32 or LocalServer32, a type library's win32 key), read in one
// registry view and judged: is the value sound, is the file there, and was it
// built for the processes that load it?

#include "Report.h"
#include "RegistryText.h"

#include <windows.h>

#include <string>

struct ServerRegistration {
    enum class State {
        KeyMissing,
        NoValue,    // the key is there, its default value is missing or empty
        WrongType,  // the default value is not a text
        TooLong,    // the path does not fit MAX_PATH: the loader cannot open it
        Present,
    };
    State state = State::KeyMissing;
    std::string keyPath;  // under HKEY_CLASSES_ROOT
    REGSAM view = 0;
    RegistryValue value;
    // The file the value names: unquoted, without arguments, expanded as the
    // processes that load it expand it (those of the 64-bit view are 64-bit);
    // for a LocalServer32, the program its command line starts, found as
    // CreateProcess finds it ("C:\Program Files\x\qbsetup.exe -Automation"
    // without quotes: the first part up to a blank that is a file).
    std::string file;
};

ServerRegistration ReadServerRegistration(const std::string& keyPath, REGSAM view);

enum class Bitness { Bits32, Bits64 };

// What the file must be: a program or library of one bitness (loaded in
// process), a program of either (a local server), or any file (a type
// library, which may stand in a file of its own).
enum class Expected { Bits32, Bits64, AnyProgram, AnyFile };

// What a report says about one registered file.
struct ServerTexts {
    std::string id;       // "addin.server": findings "addin.server", "addin.server.missing", ...
    std::wstring what;    // "InprocServer32 des Add-ins"
    std::wstring repair;  // the hint for a broken registration
};

// One finding for the value and, when it names a file, one for the file:
// missing, not a program, or built for the other bitness; for a program,
// then its version and its signature (InstalledFile.h). The file is looked
// for as the processes that load it see it (System32 of the 64-bit view is
// the 64-bit system folder).
void ReportServer(ReportSection& out, const ServerTexts& texts,
                  const ServerRegistration& server, Expected expected);
