#include "OfficeState.h"

#include <windows.h>

#include <sstream>

namespace standin {

std::shared_ptr<CommandBarsState> CommandBarsState::Typical(int menuCount)
{
    auto bars = std::make_shared<CommandBarsState>();
    auto menuBar = std::make_shared<CommandBarState>();
    menuBar->name = "Menu Bar";
    menuBar->menuBar = menuBar->builtIn = menuBar->visible = true;
    for (int i = 1; i <= menuCount; ++i) {
        auto menu = std::make_shared<ControlState>();
        menu->type = 10;
        menu->caption = "Menu" + std::to_string(i);
        menu->popupBar = std::make_shared<CommandBarState>();
        menuBar->controls.push_back(menu);
    }
    bars->bars.push_back(menuBar);
    bars->activeMenuBar = menuBar;

    auto standard = bars->AddToolbar("Standard");
    standard->builtIn = standard->visible = true;
    return bars;
}

std::shared_ptr<CommandBarState> CommandBarsState::AddToolbar(const std::string& name)
{
    auto bar = std::make_shared<CommandBarState>();
    bar->name = name;
    bars.push_back(bar);
    return bar;
}

ApplicationState::ApplicationState(HostKind kind) : host(kind)
{
    if (kind == HostKind::Word || kind == HostKind::PowerPoint || kind == HostKind::FrontPage)
        commandBars = CommandBarsState::Typical();
}

ComAddInState* ApplicationState::FindComAddIn(const std::string& progId)
{
    for (ComAddInState& addIn : comAddIns)
        if (lstrcmpiA(addIn.progId.c_str(), progId.c_str()) == 0)
            return &addIn;
    return nullptr;
}

std::shared_ptr<ExplorerState> ApplicationState::OpenExplorer(const std::string& folder)
{
    auto explorer = std::make_shared<ExplorerState>();
    explorer->folder = folder;
    explorers.push_back(explorer);
    activeExplorer = explorer;
    return explorer;
}

const char* HostName(HostKind kind)
{
    switch (kind) {
    case HostKind::Word: return "Word";
    case HostKind::Excel: return "Excel";
    case HostKind::PowerPoint: return "PowerPoint";
    case HostKind::FrontPage: return "FrontPage";
    case HostKind::Outlook: return "Outlook";
    }
    return "?";
}

namespace {

void DescribeBar(std::ostringstream& out, const CommandBarState& bar, const std::string& indent)
{
    out << indent << "bar \"" << bar.name << "\"" << (bar.menuBar ? " menu-bar" : "")
        << (bar.visible ? " visible" : "") << " protection=" << bar.protection
        << " position=" << bar.position << "\n";
    for (const auto& control : bar.controls) {
        out << indent << "  " << (control->type == 1    ? "button"
                                  : control->type == 3  ? "dropdown"
                                  : control->type == 10 ? "popup"
                                                        : "control")
            << " tag=\"" << control->tag << "\" caption=\"" << control->caption << "\"";
        if (control->description != control->caption)
            out << " description=\"" << control->description << "\"";
        if (control->beginGroup)
            out << " group";
        if (control->width || control->dropDownWidth)
            out << " width=" << control->width << "/" << control->dropDownWidth;
        if (control->state)
            out << " state=" << control->state;
        if (!control->face.empty())
            out << " face=" << control->face.width << "x" << control->face.height;
        out << "\n";
        if (control->popupBar && !control->popupBar->controls.empty())
            DescribeBar(out, *control->popupBar, indent + "    ");
    }
}

}  // namespace

std::string Describe(const CommandBarState& bar)
{
    std::ostringstream out;
    DescribeBar(out, bar, "");
    return out.str();
}

std::string Describe(const ApplicationState& app)
{
    std::ostringstream out;
    out << HostName(app.host) << " version=" << app.version << (app.visible ? " visible" : "")
        << " quit=" << app.quitCalls << " updates=" << app.comAddInsUpdates << "\n";
    for (const ComAddInState& addIn : app.comAddIns)
        out << "addin " << addIn.progId << (addIn.connected ? " connected" : "") << "\n";
    if (app.commandBars)
        for (const auto& bar : app.commandBars->bars)
            DescribeBar(out, *bar, "");
    for (const std::string& name : app.wordAddIns)
        out << "template " << name << "\n";
    for (const auto& explorer : app.explorers) {
        out << "explorer " << explorer->folder << (explorer->closed ? " closed" : "")
            << (explorer == app.activeExplorer ? " active" : "") << "\n";
        for (const auto& bar : explorer->commandBars->bars)
            DescribeBar(out, *bar, "  ");
    }
    return out.str();
}

}  // namespace standin
