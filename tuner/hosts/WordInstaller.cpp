// Switches the Word add-in: its record, and in a reachable Word the add-in's
// connection, the menu bar's protection and, when switching off, the add-in
// template's entries in Word's list of global templates and add-ins.

#include "Installers.h"

#include "AddinContract.h"
#include "AddinRecord.h"
#include "HostInstance.h"
#include "InstallerSupport.h"
#include "OfficeHost.h"
#include "OfficeInterfaces.h"
#include "RegistryKey.h"

#include <string>

namespace {

constexpr char kMainWindowClass[] = "OpusApp";
constexpr long kAlertsNone = 0;   // wdAlertsNone
constexpr long kAlertsAll = -1;   // wdAlertsAll

// SaveChanges, OriginalFormat and RouteDocument all left to Word.
void Quit(const AutomationObject& word)
{
    word.Call("Quit", Missing(), Missing(), Missing());
}

bool NamesTemplate(std::string name)
{
    if (!name.empty())
        CharLowerBuffA(name.data(), static_cast<DWORD>(name.size()));
    return name.find(addin::kWordTemplateName) != std::string::npos;
}

// Deletes one entry with Word's alerts off, and on again afterwards also when
// the deletion fails (a locked template): the user's Word must not go on
// answering every question by default. The deletion's failure is the one
// raised; a failure to switch the alerts back on after it is not.
void DeleteWithoutAlerts(const AutomationObject& word, const AutomationObject& entry)
{
    word.Put("DisplayAlerts", Variant::I4(kAlertsNone));
    try {
        entry.Call("Delete");
    } catch (...) {
        try {
            word.Put("DisplayAlerts", Variant::I4(kAlertsAll));
        } catch (const ComError&) {
        }
        throw;
    }
    word.Put("DisplayAlerts", Variant::I4(kAlertsAll));
}

// Deletes every entry of Word's add-ins list whose name contains the
// template's, with Word's alerts off around each deletion. The entries after
// a deleted one move up a place, so the walk stays at that position; it
// moves on only if the list did not get shorter.
void RemoveTemplateEntries(const AutomationObject& word)
{
    const AutomationObject addIns = word.GetAs(office::IID_WordAddIns, "AddIns");
    long index = 1;
    long count = addIns.GetNumber("Count");
    while (index <= count) {
        const AutomationObject entry =
            addIns.CallAs(office::IID_WordAddIn, "Item", Variant::I4(index));
        if (!NamesTemplate(entry.GetText("Name"))) {
            ++index;
            count = addIns.GetNumber("Count");
            continue;
        }
        DeleteWithoutAlerts(word, entry);
        const long remaining = addIns.GetNumber("Count");
        if (remaining >= count)
            ++index;
        count = remaining;
    }
}

// A hidden document made and closed unsaved; each call may fail on its own.
void OpenAndCloseHiddenDocument(const AutomationObject& word)
{
    AutomationObject document;
    try {
        document = word.GetAs(office::IID_WordDocuments, "Documents")
                       .CallAs(office::IID_WordDocument, "Add", Missing(), Missing(), Missing(),
                               Variant::I2(0));
    } catch (const ComError&) {
        return;
    }
    if (!document)
        return;
    try {
        document.Put("Saved", Variant::Bool(VARIANT_TRUE));
    } catch (const ComError&) {
    }
    try {
        document.Call("Close", Missing(), Missing(), Missing());
    } catch (const ComError&) {
    }
}

// The Word add-in reads this; only an existing settings key gets it.
void MarkWordSettingsRunning()
{
    RegistryKey settings;
    if (settings.Open(HKEY_CURRENT_USER, addin::kWordSettingsKey, KEY_ALL_ACCESS))
        settings.SetDword(addin::kWordSettingsIsRunning, 1);
}

int SwitchWord(bool enable)
{
    const OfficeHost& host = Host(HostId::Word);

    // The record goes before Word is contacted.
    if (!enable)
        UnregisterAddin(host.officeKey, host.addinProgId);

    AutomationObject word;
    bool startedByUs = false;
    try {
        // A running Word, else a new one.
        if (FAILED(FindRunningObject(host.applicationIid, word))) {
            startedByUs = true;
            CreateHostInstance(host.automationProgIds[0], nullptr, CLSCTX_ALL,
                               host.applicationIid, word);
        }

        // A Word of another generation counts as unreachable; ours is ended.
        if (word && !IsSupportedOfficeVersion(word.GetText("Version"))) {
            if (startedByUs)
                Quit(word);
            word.Reset();
        }

        // The user may not hide Word's menu bar.
        if (enable && word) {
            try {
                word.GetAs(office::IID_CommandBars, "CommandBars")
                    .GetAs(office::IID_CommandBar, "ActiveMenuBar")
                    .Put("Protection", Variant::I4(office::kBarNoChangeVisible));
            } catch (const ComError&) {
            }
        }

        // The record is written whether or not Word could be reached.
        if (enable)
            RegisterAddin(host.officeKey, host.addinProgId, host.addinDescription, 0, 3);
        if (!word)
            return 1;

        // Switching off also takes the template out of Word's add-ins list.
        if (!enable)
            RemoveTemplateEntries(word);

        // A Word that was already running comes to the front.
        if (enable && !startedByUs) {
            if (const HWND mainWindow = FindWindowA(kMainWindowClass, nullptr))
                SetForegroundWindow(mainWindow);
        }

        UpdateComAddInConnection(word, host.addinProgId, enable);

        // Our own Word ends; one that was running and got the add-in makes
        // a hidden document and closes it unsaved.
        if (startedByUs)
            Quit(word);
        else if (enable)
            OpenAndCloseHiddenDocument(word);

        MarkWordSettingsRunning();
    } catch (...) {
        // A failing call ends the run here; what was done stays done.
    }
    return 1;
}

}  // namespace

int InstallWordAddin(bool enable) noexcept
{
    return NothingEscapes(1, [&] { return SwitchWord(enable); });
}
