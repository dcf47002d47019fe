#include "HelpTopic.h"

#include "AddinContract.h"
#include "AddinRecord.h"
#include "PathHelpers.h"
#include "RegistryKey.h"

#include <string>

namespace {

using HtmlHelpEntry = HWND(WINAPI*)(HWND owner, LPCSTR file, UINT command, DWORD_PTR data);

constexpr UINT kHelpContext = 0x000F;  // HH_HELP_CONTEXT
constexpr WORD kHtmlHelpOrdinal = 14;  // the engine's narrow-text entry
constexpr char kEngineServerKey[] =
    "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

// The HTML Help engine, loaded at the first request. A failed load is
// remembered: help then does nothing for the rest of the process.
HtmlHelpEntry HtmlHelpEngine()
{
    static const HtmlHelpEntry entry = [] {
        RegistryKey key;
        key.Open(HKEY_CLASSES_ROOT, kEngineServerKey, KEY_QUERY_VALUE);
        const std::string registered = key.QueryString(nullptr);
        HMODULE engine = registered.empty() ? nullptr : LoadLibraryA(registered.c_str());
        if (!engine)
            engine = LoadLibraryA("hhctrl.ocx");
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
