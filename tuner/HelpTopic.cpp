#include "HelpTopic.h"

#include "AddinContract.h"
#include "AddinRecord.h"
#include "PathHelpers.h"
#include "RegistryKey.h"
#include "SystemLibrary.h"

#include <string>

namespace {

using HtmlHelpEntry = HWND(WINAPI*)(HWND owner, LPCSTR file, UINT command, DWORD_PTR data);

constexpr UINT kHelpContext = 0x000F;  // HH_HELP_CONTEXT
constexpr WORD kHtmlHelpOrdinal = 14;  // the engine's narrow-text entry
// The engine's registration as the system made it: under the machine's
// classes, since HKEY_CLASSES_ROOT would let a registration of the user's own
// stand in for it.
constexpr char kEngineServerKey[] =
    "Software\\Classes\\CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr char kEngineFile[] = "hhctrl.ocx";

// The registered engine's full path (a REG_EXPAND_SZ value expanded); empty
// when there is none, or only a name that a search through folders would
// resolve.
std::string RegisteredEngine()
{
    RegistryKey key;
    DWORD type = REG_NONE;
    if (!key.Open(HKEY_LOCAL_MACHINE, kEngineServerKey, KEY_QUERY_VALUE) ||
        !key.QueryValueInfo(nullptr, &type, nullptr))
        return std::string();
    std::string path = key.QueryString(nullptr);
    if (type == REG_EXPAND_SZ)
        path = ExpandEnvironmentReferences(path);
    return IsFullPath(path) ? path : std::string();
}

// The engine in the system folder, by its full path: never one that a
// search through folders finds first (a file of that name planted beside
// the program, or in the current folder).
std::string SystemEngine()
{
    return SystemFolderFile(kEngineFile);
}

HMODULE LoadEngine(const std::string& path)
{
    return path.empty() ? nullptr : LoadLibraryA(path.c_str());
}

// The HTML Help engine, loaded at the first request. A failed load is
// remembered: help then does nothing for the rest of the process.
HtmlHelpEntry HtmlHelpEngine()
{
    static const HtmlHelpEntry entry = [] {
        HMODULE engine = LoadEngine(RegisteredEngine());
        if (!engine)
            engine = LoadEngine(SystemEngine());
        // The engine stays loaded for the life of the process.
        return engine ? reinterpret_cast<HtmlHelpEntry>(reinterpret_cast<void*>(
                            GetProcAddress(engine, MAKEINTRESOURCEA(kHtmlHelpOrdinal))))
                      : nullptr;
    }();
    return entry;
}

}  // namespace

void ShowHelpTopic(DWORD topic)
{
    std::string path = GetAddinServerPath(addin::kWordProgId);
    if (path.empty())
        return;
    const std::string::size_type lastSlash = FindLastCharacter(path, "\\");
    if (lastSlash != std::string::npos)
        path.erase(lastSlash + 1);
    path += addin::kHelpFileName;

    if (const HtmlHelpEntry htmlHelp = HtmlHelpEngine())
        htmlHelp(nullptr, path.c_str(), kHelpContext, topic);
}
