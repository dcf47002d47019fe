#include "TunerDiagnosis.h"

#include "AddinContract.h"
#include "FolderSettings.h"
#include "GuidText.h"
#include "HostDetection.h"
#include "OfficeHost.h"
#include "OutgoingCallBound.h"
#include "QBSetup_h.h"
#include "RegistryText.h"
#include "RegistryViews.h"
#include "ServerRegistration.h"
#include "TextConversion.h"
#include "WebPageEntries.h"
#include "tlvshell.h"

#include <cstring>

namespace {

constexpr char kTunerProgId[] = "QBSetup.QuillbarTuner.2";
constexpr char kTunerLibraryVersion[] = "2.0";
constexpr char kMenuHandlerKey[] = "*\\shellex\\ContextMenuHandlers\\TalvoMenu";

std::string ClassKey(const GUID& clsid)
{
    return "CLSID\\" + GuidText(clsid);
}

bool SameGuid(const std::string& text, const GUID& guid)
{
    return _stricmp(text.c_str(), GuidText(guid).c_str()) == 0;
}

ServerRegistration PreviousTunerServer()
{
    const std::string key = ClassKey(addin::CLSID_PreviousTuner);
    ServerRegistration server = ReadServerRegistration(key + "\\LocalServer32", kInstallationView);
    if (server.state == ServerRegistration::State::KeyMissing)
        server = ReadServerRegistration(key + "\\InprocServer32", kInstallationView);
    return server;
}

bool AnyPreviousAddinEnabled()
{
    for (const OfficeHost& host : kOfficeHosts)
        if (IsAddinEnabled(host.officeKey, host.previousAddinProgId))
            return true;
    return false;
}

// The class names its AppID; RunAs there lets the server run as the user.
void ReportAppId(ReportSection& out, const std::string& appId, const std::wstring& source,
                 const std::wstring& reregister)
{
    if (appId.empty()) {
        out.Problem("tuner.appId.missing", L"QuillbarTuner ohne AppID", source, reregister);
        return;
    }
    const std::string appIdKey = "AppID\\" + appId;
    RegistryKey appIdEntry;
    if (!appIdEntry.Open(HKEY_CLASSES_ROOT, appIdKey, KEY_READ)) {
        out.Problem("tuner.appId.missing", L"AppID " + ToWide(appId) + L" fehlt",
                    KeyName(HKEY_CLASSES_ROOT, appIdKey), reregister);
        return;
    }
    const std::wstring runAsSource = ValueName(HKEY_CLASSES_ROOT, appIdKey, "RunAs");
    if (appIdEntry.QueryString("RunAs") != "Interactive User")
        out.Problem("tuner.appId.runAs",
                    L"AppID ohne RunAs \"Interactive User\" (" +
                        ReadValue(appIdEntry, "RunAs").Describe() + L")",
                    runAsSource, reregister);
    else
        out.Info("tuner.appId", L"AppID registriert, RunAs \"Interactive User\"", runAsSource);
}

void ReportTunerClass(ReportSection& out)
{
    const std::wstring reregister = L"qbsetup.exe -RegServer ausführen";
    RegistryKey progId;
    const std::string progIdClass = std::string(kTunerProgId) + "\\CLSID";
    if (!progId.Open(HKEY_CLASSES_ROOT, progIdClass, KEY_READ))
        out.Problem("tuner.progId.missing",
                    L"QuillbarTuner nicht registriert: ProgID QBSetup.QuillbarTuner.2 fehlt",
                    KeyName(HKEY_CLASSES_ROOT, kTunerProgId), reregister);
    else if (!SameGuid(progId.QueryString(nullptr), CLSID_QuillbarTuner))
        out.Problem("tuner.progId.clsid",
                    L"ProgID QBSetup.QuillbarTuner.2 nennt eine fremde Klasse " +
                        Quoted(progId.QueryString(nullptr)),
                    ValueName(HKEY_CLASSES_ROOT, progIdClass, nullptr), reregister);
    else
        out.Info("tuner.progId", L"ProgID QBSetup.QuillbarTuner.2 registriert",
                 ValueName(HKEY_CLASSES_ROOT, progIdClass, nullptr));

    const std::string classKey = ClassKey(CLSID_QuillbarTuner);
    RegistryKey classEntry;
    if (!classEntry.Open(HKEY_CLASSES_ROOT, classKey, KEY_READ | kInstallationView)) {
        out.Problem("tuner.class.missing", L"Klasse QuillbarTuner nicht registriert",
                    KeyName(HKEY_CLASSES_ROOT, classKey, kInstallationView), reregister);
    } else {
        ReportServer(out, {"tuner.server", L"LocalServer32 von QuillbarTuner", reregister},
                     ReadServerRegistration(classKey + "\\LocalServer32", kInstallationView),
                     Expected::AnyProgram);
        ReportAppId(out, classEntry.QueryString("AppID"),
                    ValueName(HKEY_CLASSES_ROOT, classKey, "AppID", kInstallationView),
                    reregister);
    }

    const std::string library = "TypeLib\\" + GuidText(LIBID_QBSETUPLib) + "\\" +
                                kTunerLibraryVersion + "\\0\\win32";
    ReportServer(out, {"tuner.typeLibrary", L"Typbibliothek QBSETUPLib 2.0", reregister},
                 ReadServerRegistration(library, 0), Expected::AnyFile);
}

void ReportPreviousTuner(ReportSection& out)
{
    const ServerRegistration server = PreviousTunerServer();
    if (server.state == ServerRegistration::State::KeyMissing) {
        out.Info("previousTuner.absent", L"Tuner der Vorgängerversion nicht registriert",
                 KeyName(HKEY_CLASSES_ROOT, ClassKey(addin::CLSID_PreviousTuner),
                         kInstallationView));
        return;
    }
    // Its state matters only while an add-in of its generation is on.
    out.SetProblemsMatter(AnyPreviousAddinEnabled());
    ReportServer(out, {"previousTuner.server", L"Tuner der Vorgängerversion",
                       L"die Vorgängerversion neu installieren oder ihre Einträge entfernen"},
                 server, Expected::AnyProgram);
    out.SetProblemsMatter(true);
}

// True when the folder is there.
bool ReportFolder(ReportSection& out, const char* name, const RegistryKey& folders)
{
    const std::string id = std::string("folders.") + (name[0] == 'S' ? "setup" : "root");
    const std::wstring source =
        ValueName(HKEY_LOCAL_MACHINE, kFolderSettingsKey, name, kInstallationView);
    const std::string folder = ReadFolderSetting(name);
    if (folder.empty()) {
        out.Problem(id + ".missing",
                    ToWide(name) + L" fehlt (" + ReadValue(folders, name).Describe() + L")",
                    source, L"TALVO neu installieren");
        return false;
    }
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        out.Problem(id + ".absent", ToWide(name) + L" = " + Quoted(folder) + L": Ordner fehlt",
                    source, L"TALVO neu installieren");
        return false;
    }
    out.Info(id, ToWide(name) + L" = " + Quoted(folder) + L": Ordner vorhanden", source);
    return true;
}

void ReportFolderSettings(ReportSection& out)
{
    RegistryKey folders;
    if (!folders.Open(HKEY_LOCAL_MACHINE, kFolderSettingsKey, KEY_READ | kInstallationView)) {
        out.Problem("folders.missing",
                    L"Ordnereinstellungen des Produkts fehlen: die HTML-Seiten finden keine "
                    L"Einträge",
                    KeyName(HKEY_LOCAL_MACHINE, kFolderSettingsKey, kInstallationView),
                    L"TALVO neu installieren");
        return;
    }
    const bool setupThere = ReportFolder(out, "Setup", folders);
    ReportFolder(out, "Root", folders);
    // The entries come from the Setup folder: where it is missing, its own
    // finding says all.
    if (!setupThere)
        return;

    const std::string setup = ReadFolderSetting("Setup");
    const std::size_t entries = ReadWebPageEntries(setup).size();
    const std::wstring source = ToWide(setup) + L"*.sci";
    if (entries == 0)
        out.Problem("folders.entries.none",
                    L"keine .sci-Datei mit Einträgen im Abschnitt [.WebPageFolder]: die "
                    L"HTML-Seiten zeigen keine Programme",
                    source, L"den Setup-Ordner prüfen oder TALVO neu installieren");
    else
        out.Info("folders.entries",
                 std::to_wstring(entries) + (entries == 1 ? L" Eintrag" : L" Einträge") +
                     L" aus .sci-Dateien",
                 source);
}

}  // namespace

bool IsPreviousTunerRegistered()
{
    return PreviousTunerServer().state != ServerRegistration::State::KeyMissing;
}

ReportSection DiagnoseTuner()
{
    ReportSection out("Tuner", L"Quillbar-Tuner (qbsetup.exe)");
    ReportTunerClass(out);
    ReportPreviousTuner(out);
    return out;
}

ReportSection DiagnoseShellExtension()
{
    ReportSection out("Shell", L"TALVO-Shell-Erweiterung (tlvshell.dll)");

    struct View {
        REGSAM view;
        const char* id;
        Expected bits;
        const wchar_t* name;
        const wchar_t* repair;
    };
    const bool twoViews = HasTwoRegistryViews();
    const View views[] = {
        {kInstallationView, "32", Expected::Bits32, L"32 Bit",
         twoViews ? L"tlvshell.dll mit C:\\Windows\\SysWOW64\\regsvr32.exe registrieren"
                  : L"tlvshell.dll mit regsvr32 registrieren"},
        {k64BitView, "64", Expected::Bits64, L"64 Bit",
         L"x64\\tlvshell.dll mit C:\\Windows\\System32\\regsvr32.exe registrieren"},
    };
    struct Class {
        const GUID* clsid;
        const char* id;
        const wchar_t* name;
    };
    const Class classes[] = {
        {&CLSID_Talvo6ShellContextMenu, "shell.menu", L"Kontextmenü Talvo6ShellContextMenu"},
        {&CLSID_Talvo6WebPageFolder, "shell.folder", L"Talvo6WebPageFolder"},
    };
    // 32-bit programs load the 32-bit library; 64-bit Explorer and script
    // hosts, on 64-bit Windows, the 64-bit one.
    for (const View& view : views) {
        if (view.view == k64BitView && !twoViews)
            continue;
        for (const Class& entry : classes)
            ReportServer(out,
                         {std::string(entry.id) + view.id,
                          std::wstring(entry.name) + L" (" + view.name + L")", view.repair},
                         ReadServerRegistration(ClassKey(*entry.clsid) + "\\InprocServer32",
                                                view.view),
                         view.bits);
    }

    RegistryKey handler;
    if (!handler.Open(HKEY_CLASSES_ROOT, kMenuHandlerKey, KEY_READ))
        out.Problem("shell.handler.missing",
                    L"Explorer kennt das Kontextmenü nicht: Handler-Schlüssel fehlt",
                    KeyName(HKEY_CLASSES_ROOT, kMenuHandlerKey), views[0].repair);
    else if (!SameGuid(handler.QueryString(nullptr), CLSID_Talvo6ShellContextMenu))
        out.Problem("shell.handler.clsid",
                    L"Handler-Schlüssel nennt eine fremde Klasse " +
                        Quoted(handler.QueryString(nullptr)),
                    ValueName(HKEY_CLASSES_ROOT, kMenuHandlerKey, nullptr), views[0].repair);
    else
        out.Info("shell.handler", L"Kontextmenü für alle Dateien eingetragen",
                 ValueName(HKEY_CLASSES_ROOT, kMenuHandlerKey, nullptr));

    ReportFolderSettings(out);
    return out;
}

ReportSection DiagnoseRunningObjects(const RunningObjectSurvey& survey, DWORD entryLimitMs)
{
    ReportSection out("RunningObjects", L"Running Object Table");
    if (FAILED(survey.tableResult)) {
        out.Note("rot.unreadable",
                 L"lässt sich nicht lesen (" + ResultCodeText(survey.tableResult) +
                     L"): laufende Instanzen sind unbekannt");
        return out;
    }
    for (const std::wstring& entry : survey.unanswered)
        out.Problem("rot.timeout",
                    L"Eintrag antwortet nach " + std::to_wstring(entryLimitMs / 1000) +
                        L" s nicht: ob er eine laufende Instanz ist, ist unbekannt; der Tuner "
                        L"wartet bei jedem Zugriff " +
                        std::to_wstring(kOutgoingCallBoundMs / 1000) +
                        L" s auf ihn, bevor er ihn übergeht",
                    L"Running Object Table: " + entry, L"das hängende Programm beenden");
    for (const DeadEntry& dead : survey.dead)
        out.Note("rot.dead",
                 L"Eintrag ohne erreichbares Objekt (" + ResultCodeText(dead.result) +
                     L"), sein Programm hat es wohl aufgegeben; der Tuner übergeht ihn",
                 L"Running Object Table: " + dead.entry);
    const std::size_t instances = survey.instances.size();
    out.Info("rot.entries",
             std::to_wstring(instances) +
                 (instances == 1 ? L" Office-Instanz, " : L" Office-Instanzen, ") +
                 std::to_wstring(survey.otherEntries) +
                 (survey.otherEntries == 1 ? L" Eintrag" : L" Einträge") + L" anderer Programme");
    return out;
}
