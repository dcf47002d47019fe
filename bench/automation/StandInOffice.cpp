#include "StandInOffice.h"

#include "AddinContract.h"
#include "Catalogue.h"

namespace bench {

namespace {

standin::HostKind KindOf(HostId host)
{
    switch (host) {
    case HostId::Word: return standin::HostKind::Word;
    case HostId::Excel: return standin::HostKind::Excel;
    case HostId::PowerPoint: return standin::HostKind::PowerPoint;
    case HostId::FrontPage: return standin::HostKind::FrontPage;
    case HostId::Outlook: return standin::HostKind::Outlook;
    }
    return standin::HostKind::Word;
}

// What a switch-on left: the popup on the menu bar and the toolbar.
void AddOurBars(standin::CommandBarsState& bars)
{
    auto popup = std::make_shared<standin::ControlState>();
    popup->type = 10;
    popup->tag = catalogue::kMenuTag;
    popup->popupBar = std::make_shared<standin::CommandBarState>();
    bars.activeMenuBar->controls.push_back(popup);
    bars.AddToolbar(catalogue::kToolbarName);
}

}  // namespace

StandInOffice::StandInOffice() = default;

StandInOffice::~StandInOffice()
{
    running_.clear();
    runningObjects_.clear();
    classes_.clear();
}

bool StandInOffice::MakeRunning(const std::shared_ptr<standin::ApplicationState>& app)
{
    runningObjects_.push_back(standin::MakeApplication(journal_, app));
    running_.push_back(std::make_unique<standin::RunningObject>(runningObjects_.back().Get()));
    return SUCCEEDED(running_.back()->Result());
}

bool StandInOffice::MakeCreatable(const char* progId,
                                  std::shared_ptr<standin::ApplicationState> app)
{
    auto journal = journal_;
    classes_.push_back(std::make_unique<standin::CreatableClass>(
        progId, [journal, app](REFIID iid, void** object) {
            return standin::MakeApplication(journal, app)->QueryInterface(iid, object);
        }));
    return SUCCEEDED(classes_.back()->Result());
}

bool StandInOffice::Arrange(HostId id, Reach reach, bool switchingOn)
{
    if (reach == Reach::Absent)
        return true;
    const OfficeHost& host = Host(id);
    auto app = std::make_shared<standin::ApplicationState>(KindOf(id));
    app->version = id == HostId::FrontPage ? "5.0" : "11.0";
    app->comAddIns.push_back({host.addinProgId, !switchingOn});
    apps_.push_back(app);

    switch (id) {
    case HostId::Word:
        app->wordAddIns = {"Normal.dot"};
        if (!switchingOn)
            app->wordAddIns.push_back(addin::kWordTemplateName);
        break;
    case HostId::PowerPoint:
    case HostId::FrontPage:
        app->visible = reach == Reach::Running;
        if (!switchingOn)
            AddOurBars(*app->commandBars);
        break;
    case HostId::Outlook:
        if (reach == Reach::Running)
            app->OpenExplorer("Posteingang");
        break;
    case HostId::Excel:
        break;
    }

    // PowerPoint and FrontPage are reached by creation only; a running one
    // is what creation attaches to.
    const bool createdOnly = id == HostId::PowerPoint || id == HostId::FrontPage;
    if (reach == Reach::Running && !createdOnly)
        return MakeRunning(app);
    return MakeCreatable(host.automationProgIds[0], app);
}

}  // namespace bench
