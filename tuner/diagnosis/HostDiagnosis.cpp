#include "HostDiagnosis.h"

#include "AddinContract.h"
#include "AddinRecord.h"
#include "HostDetection.h"
#include "InstallerSupport.h"
#include "RegistryText.h"
#include "RegistryViews.h"
#include "SemaphoreState.h"
#include "ServerRegistration.h"
#include "TextConversion.h"

namespace {

using V = OfficeVersion;

bool KeyExists(HKEY root, const std::string& path, REGSAM view)
{
    RegistryKey key;
    return key.Open(root, path, KEY_READ | view);
}

std::wstring VersionLabel(const OfficeHost& host, OfficeVersion version)
{
    if (host.probe == InstallProbe::FrontPageKeys && version == V::V9)
        return L"FrontPage 2000";
    return L"Office " + ToWide(VersionText(version));
}

std::wstring CheckSource(const ProbeCheck& check)
{
    if (check.test == ProbeCheck::Test::KeyOpens || !KeyExists(check.root, check.path, check.view))
        return KeyName(check.root, check.path, check.view);
    return ValueName(check.root, check.path, check.value, check.view);
}

std::wstring WhyCheckFails(const ProbeCheck& check)
{
    if (!KeyExists(check.root, check.path, check.view))
        return L"Schlüssel fehlt";
    const std::wstring value = L"Wert \"" + ToWide(check.value ? check.value : "") + L"\"";
    return check.test == ProbeCheck::Test::StringNotEmpty ? value + L" fehlt oder ist leer"
                                                          : value + L" fehlt";
}

// Each probed version with the check that decided it: the first that fails,
// or the last when all hold. True when any version is installed.
bool ReportInstallation(const OfficeHost& host, ReportSection& out)
{
    bool installed[3] = {};
    const OfficeVersion versions[] = {V::V9, V::V10, V::V11};
    for (int i = 0; i < 3; ++i) {
        const std::vector<ProbeCheck> checks = VersionProbeChecks(host, versions[i]);
        const ProbeCheck* decisive = nullptr;
        installed[i] = !checks.empty();
        for (const ProbeCheck& check : checks) {
            decisive = &check;
            if (!ProbeCheckHolds(check)) {
                installed[i] = false;
                break;
            }
        }
        const std::wstring label = VersionLabel(host, versions[i]);
        if (!decisive)
            continue;
        if (installed[i])
            out.Info("installation.version",
                     label + L": installiert und von diesem Benutzer gestartet",
                     CheckSource(*decisive));
        else
            out.Info("installation.version",
                     label + L": nicht installiert, " + WhyCheckFails(*decisive),
                     CheckSource(*decisive));
    }
    const bool any = installed[0] || installed[1] || installed[2];
    if (!any)
        out.Info("installation.none",
                 L"keine unterstützte Version installiert: der Tuner lässt den Host aus");
    else if (!installed[0] && !installed[1])
        out.Note("installation.onlyNewest",
                 L"nur Office 11.0: der Dialog bietet den Host an, das Objekt QuillbarTuner "
                 L"(für andere Programme) zählt ihn nicht mit");
    return any;
}

void ReportOffering(const OfficeHost& host, bool enabled, ReportSection& out)
{
    RegistryKey key;
    const bool keyOpens = key.Open(HKEY_CLASSES_ROOT, kOfferingKey, KEY_READ | kInstallationView);
    const std::wstring source = keyOpens
                                    ? ValueName(HKEY_CLASSES_ROOT, kOfferingKey, host.code,
                                                kInstallationView)
                                    : KeyName(HKEY_CLASSES_ROOT, kOfferingKey, kInstallationView);
    if (!IsHostOffered(host.code)) {
        out.Note("offering.hidden",
                 std::wstring(L"vom Setup ausgeblendet (Wert \"1\"): der Dialog zeigt kein "
                              L"Kästchen dafür") +
                     (enabled ? L"; das eingeschaltete Add-in schaltet er beim nächsten OK aus"
                              : L""),
                 source);
    } else if (!keyOpens) {
        out.Info("offering.offered", L"im Dialog angeboten (kein Angebotsschlüssel)", source);
    } else {
        const RegistryValue value = ReadValue(key, host.code);
        out.Info("offering.offered",
                 value.present ? L"im Dialog angeboten (Wert " + value.Describe() + L")"
                               : std::wstring(L"im Dialog angeboten"),
                 source);
    }

    if (!host.hasOfferGate)
        return;
    const std::wstring gate = keyOpens
                                  ? ValueName(HKEY_CLASSES_ROOT, kOfferingKey, nullptr,
                                              kInstallationView)
                                  : KeyName(HKEY_CLASSES_ROOT, kOfferingKey, kInstallationView);
    if (IsFrontPageOffered())
        out.Info("offering.switchable", L"darf umgeschaltet werden", gate);
    else
        out.Note("offering.locked",
                 L"das Setup sperrt das Umschalten (Standardwert \"1\"): das Kästchen bleibt "
                 L"gesperrt, der Tuner ändert nichts daran",
                 gate);
}

void ReportFileName(const OfficeHost& host, const RegistryValue& fileName,
                    const std::wstring& source, ReportSection& out)
{
    const std::wstring switchOn = L"Einbau im Tuner einschalten";
    if (!fileName.present) {
        out.Problem("record.fileName.missing",
                    L"FileName fehlt: der Tuner zeigt das Add-in als ausgeschaltet, Office kann "
                    L"es trotzdem laden",
                    source, switchOn);
        return;
    }
    if (fileName.type != REG_SZ) {
        out.Problem("record.fileName.type",
                    L"FileName hat den Typ " + TypeName(fileName.type) +
                        L" statt REG_SZ: der Tuner zeigt das Add-in als ausgeschaltet",
                    source, switchOn);
        return;
    }
    const std::string serverPath = GetAddinServerPath(host.addinProgId);
    const std::string recorded = fileName.Text();
    if (recorded.empty()) {
        out.Problem("record.fileName.empty",
                    L"FileName ist leer: das Add-in war beim Einschalten nicht registriert",
                    source, L"Add-in neu registrieren, dann Einbau erneut einschalten");
    } else if (!serverPath.empty() && _stricmp(recorded.c_str(), serverPath.c_str()) != 0) {
        out.Problem("record.fileName.stale",
                    L"FileName weicht vom registrierten Server ab (" + Quoted(serverPath) + L")",
                    source, L"Einbau erneut einschalten (im Tuner aus- und wieder einschalten)");
    } else if (!serverPath.empty()) {
        out.Info("record.fileName", L"FileName stimmt mit dem registrierten Server überein",
                 source);
    }
}

void ReportLoadBehavior(const RegistryValue& loadBehavior, const std::wstring& source,
                        ReportSection& out)
{
    const std::wstring again = L"Einbau erneut einschalten (im Tuner aus- und wieder einschalten)";
    if (!loadBehavior.present) {
        out.Problem("record.loadBehavior.missing",
                    L"LoadBehavior fehlt: Office lädt das Add-in nicht", source, again);
        return;
    }
    if (!loadBehavior.IsNumber()) {
        out.Problem("record.loadBehavior.type",
                    L"LoadBehavior hat den Typ " + TypeName(loadBehavior.type) +
                        L" statt REG_DWORD: Office lädt das Add-in nicht",
                    source, again);
        return;
    }
    const DWORD value = loadBehavior.Number();
    const std::wstring number = L"LoadBehavior " + std::to_wstring(value);
    if (value == 3)
        out.Info("record.loadBehavior",
                 number + L": beim Start laden und verbinden, wie der Tuner es schreibt", source);
    else if (value == 2 || value == 0)
        out.Problem("record.loadBehavior.unloaded",
                    number + L": Office hat das Add-in entladen, meist nach einem Fehler beim "
                             L"Laden (Datei fehlt, falsche Bitness, nicht registriert, Fehler "
                             L"beim Start) oder weil es unter COM-Add-Ins abgewählt wurde",
                    source, L"die Ursache beheben, dann " + again);
    else
        out.Problem("record.loadBehavior.other",
                    number + L": nicht der Wert des Tuners (3 = beim Start laden und "
                             L"verbinden); Office lädt das Add-in " +
                        ((value & 2) ? L"beim Start, verbindet es aber nicht"
                                     : L"nicht beim Start"),
                    source, again);
}

// The user's record under HKCU and its values, and records for all users under HKLM.
void ReportRecord(const OfficeHost& host, bool enabled, ReportSection& out)
{
    const std::string path = AddinKeyPath(host.officeKey, host.addinProgId);
    RegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, path, KEY_READ)) {
        out.Info("record.absent", L"kein Add-in-Eintrag: ausgeschaltet",
                 KeyName(HKEY_CURRENT_USER, path));
    } else {
        out.Info("record.present",
                 enabled ? L"Add-in-Eintrag vorhanden: eingeschaltet"
                         : L"Add-in-Eintrag vorhanden, für den Tuner aber ausgeschaltet",
                 KeyName(HKEY_CURRENT_USER, path));
        for (const std::string& name : ValueNames(key))
            out.Info("record.value",
                     (name.empty() ? std::wstring(L"(Standard)") : ToWide(name)) + L" = " +
                         ReadValue(key, name.c_str()).Describe(),
                     ValueName(HKEY_CURRENT_USER, path, name.c_str()));
        ReportFileName(host, ReadValue(key, "FileName"),
                       ValueName(HKEY_CURRENT_USER, path, "FileName"), out);
        ReportLoadBehavior(ReadValue(key, "LoadBehavior"),
                           ValueName(HKEY_CURRENT_USER, path, "LoadBehavior"), out);
    }

    if (KeyExists(HKEY_LOCAL_MACHINE, path, kInstallationView))
        out.Problem("record.machine",
                    L"Add-in-Eintrag für alle Benutzer unter HKLM: Office nimmt ihn statt des "
                    L"Eintrags des Benutzers, der Tuner schaltet ihn nicht um",
                    KeyName(HKEY_LOCAL_MACHINE, path, kInstallationView),
                    L"den HKLM-Eintrag entfernen (als Administrator)");
    if (HasTwoRegistryViews() && KeyExists(HKEY_LOCAL_MACHINE, path, k64BitView))
        out.Note("record.machine64",
                 L"Add-in-Eintrag unter HKLM in der 64-Bit-Ansicht: 32-Bit-Office liest ihn nicht",
                 KeyName(HKEY_LOCAL_MACHINE, path, k64BitView));
}

// ProgID, CLSID and InprocServer32 as 32-bit Office finds them.
void ReportRegistration(const OfficeHost& host, ReportSection& out)
{
    const std::string progId = host.addinProgId;
    const std::wstring reregister = L"Add-in neu registrieren";
    const std::string classId = AddinClassId(progId);
    if (classId.empty()) {
        if (KeyExists(HKEY_CLASSES_ROOT, progId, 0))
            out.Problem("addin.progId.noClsid",
                        L"ProgID " + ToWide(progId) + L" ohne gültige CLSID",
                        ValueName(HKEY_CLASSES_ROOT, progId + "\\CLSID", nullptr), reregister);
        else
            out.Problem("addin.progId.missing",
                        L"Add-in nicht registriert: ProgID " + ToWide(progId) + L" fehlt",
                        KeyName(HKEY_CLASSES_ROOT, progId), reregister);
        return;
    }
    out.Info("addin.progId", L"ProgID " + ToWide(progId) + L" nennt die Klasse " + ToWide(classId),
             ValueName(HKEY_CLASSES_ROOT, progId + "\\CLSID", nullptr));

    const std::string serverKey = AddinServerKeyPath(classId);
    const ServerRegistration server = ReadServerRegistration(serverKey, kInstallationView);
    if (server.state == ServerRegistration::State::KeyMissing && HasTwoRegistryViews() &&
        ReadServerRegistration(serverKey, k64BitView).state !=
            ServerRegistration::State::KeyMissing) {
        out.Problem("addin.server.only64",
                    L"InprocServer32 nur in der 64-Bit-Ansicht registriert: 32-Bit-Office "
                    L"findet das Add-in nicht",
                    KeyName(HKEY_CLASSES_ROOT, serverKey, k64BitView),
                    L"Add-in mit C:\\Windows\\SysWOW64\\regsvr32.exe registrieren");
        return;
    }
    ReportServer(out, {"addin.server", L"InprocServer32 des Add-ins", reregister}, server,
                 Expected::Bits32);
}

void ReportPreviousGeneration(const OfficeHost& host, bool tunerRegistered, ReportSection& out)
{
    const std::wstring progId = ToWide(host.previousAddinProgId);
    const std::string path = AddinKeyPath(host.officeKey, host.previousAddinProgId);
    if (!IsAddinEnabled(host.officeKey, host.previousAddinProgId)) {
        out.Info("previous.off", L"Vorgängerversion " + progId + L": ausgeschaltet",
                 KeyName(HKEY_CURRENT_USER, path));
        return;
    }
    const std::wstring source = ValueName(HKEY_CURRENT_USER, path, "FileName");
    if (tunerRegistered)
        out.Problem("previous.enabled",
                    L"Vorgängerversion " + progId +
                        L" eingeschaltet: der Dialog verlangt vor jeder Änderung, sie "
                        L"abzuschalten",
                    source, L"im Tuner OK wählen und die Frage nach der alten Version bejahen");
    else
        out.Problem("previous.enabled",
                    L"Vorgängerversion " + progId +
                        L" eingeschaltet, ihr Tuner ist aber nicht registriert: der Dialog "
                        L"kann sie nicht abschalten",
                    source, L"den Eintrag der Vorgängerversion entfernen");
}

void ReportSemaphore(const OfficeHost& host, ReportSection& out)
{
    const std::string name = addin::kSemaphorePrefix + std::string(host.officeKey);
    const std::wstring source = L"Semaphore " + ToWide(name);
    const SemaphoreState state = ReadSemaphoreState(name);
    const long full = addin::kSemaphoreFullCount;
    switch (state.kind) {
    case SemaphoreState::Kind::Absent:
        out.Info("semaphore.absent", L"Semaphore fehlt: kein Add-in läuft in diesem Host", source);
        return;
    case SemaphoreState::Kind::Unreadable:
        out.Note("semaphore.unreadable",
                 L"Semaphore vorhanden, ihre Zähler lassen sich nicht lesen (Fehler " +
                     ResultCodeText(static_cast<long>(state.error)) + L")",
                 source);
        return;
    case SemaphoreState::Kind::Present:
        break;
    }
    if (state.free == full)
        out.Info("semaphore.idle",
                 L"Semaphore vorhanden, alle 100 Zähler frei: das Add-in läuft und ist untätig",
                 source);
    else if (state.free < full)
        out.Problem("semaphore.busy",
                    L"Semaphore belegt: " + std::to_wstring(full - state.free) +
                        L" von 100 Zählern gehalten, das Add-in übersetzt gerade oder hat einen "
                        L"Dialog offen; Ausschalten wartet im Dialog \"Achtung!\"",
                    source, L"die Übersetzung abwarten oder den Dialog des Add-ins schließen");
    else
        out.Note("semaphore.odd",
                 L"Semaphore mit " + std::to_wstring(state.free) +
                     L" freien Zählern (erwartet 100)",
                 source);
}

void ReportInstances(const OfficeHost& host, const RunningObjectSurvey& running,
                     ReportSection& out)
{
    bool any = false;
    for (const RunningInstance& instance : running.instances) {
        if (instance.host != IdOf(host))
            continue;
        any = true;
        const std::wstring source = L"Running Object Table: " + instance.entry;
        if (!instance.versionRead)
            out.Note("instances.versionUnknown",
                     L"laufende Instanz, ihre Version lässt sich nicht lesen (" +
                         ResultCodeText(instance.versionResult) + L")",
                     source);
        else if (IsSupportedOfficeVersion(instance.version))
            out.Info("instances.running",
                     L"laufende Instanz, Version " + ToWide(instance.version), source);
        else
            out.Problem("instances.unsupported",
                        L"laufende Instanz, Version " + ToWide(instance.version) +
                            L": nicht unterstützt (nur 9, 10 und 11)",
                        source, L"Office 2000, XP oder 2003 verwenden");
    }
    if (any)
        return;
    // No entry said it is this host: that it does not run is known only where
    // every entry answered.
    if (FAILED(running.tableResult))
        out.Note("instances.unknown",
                 L"unbekannt, ob eine Instanz läuft: der Running Object Table lässt sich nicht "
                 L"lesen");
    else if (!running.unanswered.empty())
        out.Note("instances.unknown",
                 L"unbekannt, ob eine Instanz läuft: ein Eintrag im Running Object Table "
                 L"antwortet nicht",
                 L"Running Object Table: " + running.unanswered.front());
    else
        out.Info("instances.none", L"keine laufende Instanz im Running Object Table");
}

}  // namespace

ReportSection DiagnoseHost(const OfficeHost& host, const RunningObjectSurvey& running,
                           bool previousTunerRegistered)
{
    ReportSection out(host.officeKey, ToWide(host.displayName));
    const bool installed = ReportInstallation(host, out);
    const bool enabled = IsAddinEnabled(host.officeKey, host.addinProgId);
    ReportOffering(host, enabled, out);

    // For a host that is not installed, nothing about its add-in can fail.
    out.SetProblemsMatter(installed);
    ReportRecord(host, enabled, out);
    ReportRegistration(host, out);
    out.SetProblemsMatter(true);

    // These matter whatever is installed: the dialog asks about the previous
    // generation in any case, and a semaphore or an instance means a host runs.
    ReportPreviousGeneration(host, previousTunerRegistered, out);
    ReportSemaphore(host, out);
    ReportInstances(host, running, out);
    return out;
}
