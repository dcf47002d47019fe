// Automation economy: how many calls the installers make into Office against
// the calls their step lists prescribe, and how many DISPID look-ups they
// make against the distinct members they use. Each run goes against the
// in-process Office stand-in, whose journal records every Invoke and every
// GetIDsOfNames; each starts with an empty DISPID cache, as a fresh qbsetup
// does. The counts are deterministic, so --smoke only runs fewer of them.

#include "BenchRow.h"
#include "DialogApply.h"
#include "Installers.h"
#include "MemberPairs.h"
#include "OfficeHost.h"
#include "OfficeInstallation.h"
#include "ScratchRegistry.h"
#include "StandInOffice.h"

#include "AddinRecord.h"
#include "Automation.h"

#include <objbase.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using bench::Reach;

struct Scenario {
    const char* name;
    HostId host;
    bool enable;
    Reach reach;
    int prescribedInvokes;  // counted from the installer's step list
    bool smoke;             // also run by --smoke
    const char* note = "";  // on both rows
};

// The Invokes each step list prescribes for the host as StandInOffice
// arranges it (the add-in known to the host; before a switch-off Word lists
// Normal.dot and the template, PowerPoint and FrontPage show our menu and
// toolbar; no old bars in Outlook). A property get or put and a method call
// are one Invoke each; finding, creating and querying objects are none.
// AddControlsFromTable makes 1 (Controls) + 6 per button (Add, Tag,
// PasteFace, BeginGroup, DescriptionText, Caption: no string has a line
// feed) + 7 per drop-down (Add, Tag, BeginGroup, DropDownWidth, Width,
// DescriptionText, Caption): PowerPoint's menu 1+17*6 = 103, its toolbar
// 1+16*6+2*7 = 111; FrontPage's menu 1+16*6 = 97, its toolbar 1+15*6+2*7 =
// 105. PowerPoint and FrontPage release every collection when its step is
// done (their Data model), so each step that uses the command bars gets
// Application.CommandBars anew.
constexpr char kBarsNote[] = "CommandBars got per step; inherited members counted once";
constexpr char kFrontPageNote[] = "created and quit alike whether it ran before";
const Scenario kScenarios[] = {
    // Word: 3 Version; 4 CommandBars, ActiveMenuBar, Protection; 9 COMAddIns,
    // Update, Item, Connect; 10 Documents, Add, Saved, Close = 1+3+4+4.
    {"Word on, running", HostId::Word, true, Reach::Running, 12, false},
    // 3 Version; 4 three; 9 four; 10 Quit = 1+3+4+1.
    {"Word on, started", HostId::Word, true, Reach::Started, 9, false},
    // 3 Version; 7 AddIns, Count, Item(1), Name, Count, Item(2), Name,
    // DisplayAlerts, Delete, DisplayAlerts, Count; 9 four = 1+11+4.
    {"Word off, running", HostId::Word, false, Reach::Running, 16, false},
    // as above; 10 Quit = 1+11+4+1.
    {"Word off, started", HostId::Word, false, Reach::Started, 17, false},
    // Excel: 3.3 Version; 3.4 COMAddIns, Update; 3.5 Item; 3.6 Connect.
    {"Excel on, running", HostId::Excel, true, Reach::Running, 5, false},
    {"Excel off, running", HostId::Excel, false, Reach::Running, 5, false},
    // Excel is never started: only the record changes.
    {"Excel on, none running", HostId::Excel, true, Reach::Absent, 0, false, "Excel is never started: only the record changes"},
    {"Excel off, none running", HostId::Excel, false, Reach::Absent, 0, false, "Excel is never started: only the record changes"},
    // PowerPoint: 3 Version; 5 CommandBars, ActiveMenuBar, FindControl (no
    // popup yet); 6 CommandBars, Item (fails: no toolbar yet); 8
    // CommandBars, ActiveMenuBar, Controls, Count, Add, Caption, Tag,
    // CommandBar, Protection + menu 103 + FindControl, State; 9 CommandBars,
    // Add, Protection, Visible, Position + toolbar 111; 11 COMAddIns, Update,
    // Item, Connect; 12 Visible = 1+3+2+(9+103+2)+(5+111)+4+1.
    {"PowerPoint on, running", HostId::PowerPoint, true, Reach::Running, 241, false, kBarsNote},
    // as above; 12 Quit (not visible) = 241+1.
    {"PowerPoint on, started", HostId::PowerPoint, true, Reach::Started, 242, true, kBarsNote},
    // 3 Version; 4 COMAddIns, Update, Item, Connect; 5 CommandBars,
    // ActiveMenuBar, FindControl, Delete; 6 CommandBars, Item, Delete; 12
    // Visible = 1+4+4+3+1.
    {"PowerPoint off, running", HostId::PowerPoint, false, Reach::Running, 13, false},
    // as above; 12 Quit = 13+1.
    {"PowerPoint off, started", HostId::PowerPoint, false, Reach::Started, 14, true},
    // FrontPage (always created, no version check, always quit: running or
    // started is the same run): 4 CommandBars, ActiveMenuBar, FindControl;
    // 5 CommandBars, Item (fails); 7 CommandBars, ActiveMenuBar, Controls,
    // Count, Add, Caption, Tag, CommandBar, Protection + menu 97 +
    // FindControl, State; 8 CommandBars, Add, Protection, Visible, Position
    // + toolbar 105 + FindControl, State; 10 COMAddIns, Update, Item,
    // Connect; 11 Quit = 3+2+(9+97+2)+(5+105+2)+4+1.
    {"FrontPage on", HostId::FrontPage, true, Reach::Started, 230, false, kFrontPageNote},
    // 3 COMAddIns, Update, Item, Connect; 4 CommandBars, ActiveMenuBar,
    // FindControl, Delete; 5 CommandBars, Item, Delete; 11 Quit = 4+4+3+1.
    {"FrontPage off", HostId::FrontPage, false, Reach::Started, 12, false, kFrontPageNote},
    // Outlook: 3 Version; 5 ActiveExplorer; 6 Activate; 7 CommandBars,
    // ActiveMenuBar, FindControl; 8 CommandBars, Item (fails); 9 the same;
    // 12 COMAddIns, Update, Item, Connect; 13.2 ActiveWindow (a window: no
    // Quit) = 1+1+1+3+2+2+4+1.
    {"Outlook on, running", HostId::Outlook, true, Reach::Running, 15, false},
    // 3 Version; 5 ActiveExplorer (none), Explorers, GetNamespace,
    // GetDefaultFolder, Explorers.Add; 6 Activate; 7 three; 8, 9 two each;
    // 12 skipped (explorer opened); 13.1 Close, Quit; 13.2 finds no running
    // Outlook = 1+5+1+3+2+2+2.
    {"Outlook on, started", HostId::Outlook, true, Reach::Started, 16, false, "its own explorer: connected only by the record"},
    // 3 Version; 4 COMAddIns, Update, Item, Connect; 5 ActiveExplorer; 6
    // Activate; 7 three; 8, 9 two each; 13.2 ActiveWindow = 1+4+1+1+3+4+1.
    {"Outlook off, running", HostId::Outlook, false, Reach::Running, 15, false},
    // 3 Version; 4 four; 5 five; 6 Activate; 7 three; 8, 9 two each; 13.1
    // Close, Quit = 1+4+5+1+3+4+2.
    {"Outlook off, started", HostId::Outlook, false, Reach::Started, 20, false},
};

// One apply through the dialog of all five hosts, each running as a user
// has it: the sum of the matching rows above.
struct DialogScenario {
    const char* name;
    bool enable;
    int prescribedInvokes;
};
const DialogScenario kDialogScenarios[] = {
    // Word on running 12 + Excel on running 5 + PowerPoint on running 241 +
    // FrontPage on 230 + Outlook on running 15.
    {"Dialog: all five on, running", true, 503},
    // Word off running 16 + Excel 5 + PowerPoint off running 13 + FrontPage
    // off 12 + Outlook off running 15.
    {"Dialog: all five off, running", false, 61},
};

Reach DialogReach(HostId host)
{
    return host == HostId::FrontPage ? Reach::Started : Reach::Running;
}

void PrintCounts(const std::string& name, const standin::Journal& journal, int prescribed,
                 const char* note = "")
{
    const double invokes = static_cast<double>(journal.Calls().size());
    std::string invokeNote = note;
    if (invokes != prescribed)
        invokeNote = "the journal and the step list disagree";
    bench::Print({"Invoke: " + name, invokes, static_cast<double>(prescribed), "calls", "<= 1.00",
                  invokeNote});

    const double lookups = static_cast<double>(journal.IdLookups().size());
    const double pairs = static_cast<double>(bench::DeclaredMembersCalled(journal).size());
    std::string lookupNote = note;
    if (lookups > pairs)
        lookupNote = "a member looked up again for another interface or object";
    bench::Print({"GetIDsOfNames: " + name, lookups, pairs, "calls", "<= 1.00", lookupNote});
}

bool RunInstaller(const Scenario& scenario)
{
    const ScratchRegistry registry(ScratchRegistry::kCurrentUser);
    const OfficeHost& host = Host(scenario.host);
    if (!scenario.enable &&
        FAILED(RegisterAddin(host.officeKey, host.addinProgId, host.addinDescription, 0, 3)))
        return false;
    bench::StandInOffice office;
    if (!office.Arrange(scenario.host, scenario.reach, scenario.enable))
        return false;
    ClearDispatchIdCache();
    host.install(scenario.enable);
    PrintCounts(scenario.name, office.journal(), scenario.prescribedInvokes, scenario.note);
    return true;
}

bool RunDialog(const DialogScenario& scenario)
{
    const ScratchRegistry registry;
    bench::StandInOffice office;
    for (const OfficeHost& host : kOfficeHosts) {
        standin::SimulateInstallation(host.officeKey, "10.0");
        if (!scenario.enable &&
            FAILED(RegisterAddin(host.officeKey, host.addinProgId, host.addinDescription, 0, 3)))
            return false;
        if (!office.Arrange(IdOf(host), DialogReach(IdOf(host)), scenario.enable))
            return false;
    }
    ClearDispatchIdCache();
    if (!bench::ApplyEveryHostThroughTheDialog())
        return false;
    PrintCounts(scenario.name, office.journal(), scenario.prescribedInvokes);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool smoke = bench::IsSmoke(argc, argv);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(com)) {
        std::printf("ERROR: CoInitializeEx failed: 0x%08lX\n", static_cast<unsigned long>(com));
        return 1;
    }
    int failures = 0;
    for (const Scenario& scenario : kScenarios) {
        if (smoke && !scenario.smoke)
            continue;
        if (!RunInstaller(scenario)) {
            std::printf("ERROR: %s could not be arranged\n", scenario.name);
            ++failures;
        }
    }
    if (!smoke) {
        for (const DialogScenario& scenario : kDialogScenarios) {
            if (!RunDialog(scenario)) {
                std::printf("ERROR: %s: the dialog did not run its apply\n", scenario.name);
                ++failures;
            }
        }
    }
    CoUninitialize();
    return failures ? 1 : 0;
}
