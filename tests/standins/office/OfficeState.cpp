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

const char* ControlKind(long type)
{
    switch (type) {
    case 1: return "button";
    case 3: return "drop-down";
    case 10: return "popup";
    default: return "control";
    }
}

// One line per bar and per control, popups' controls indented below them:
//   "TALVO6 Quillbar": toolbar, visible, top, no customizing
//     button "&Hilfe" [TALVO_QB_HELP], face 16x16
void DescribeBar(std::ostringstream& out, const CommandBarState& bar, const std::string& indent)
{
    out << indent << "\"" << bar.name << "\": " << (bar.menuBar ? "menu bar" : "toolbar");
    if (bar.visible)
        out << ", visible";
    if (bar.position == 1)
        out << ", top";
    else if (bar.position)
        out << ", position " << bar.position;
    if (bar.protection)
        out << ", protection " << bar.protection;
    out << "\n";
    DescribeControls(out, bar, indent + "  ");
}

}  // namespace

void DescribeControls(std::ostringstream& out, const CommandBarState& bar, const std::string& indent)
{
    for (const auto& control : bar.controls) {
        out << indent << ControlKind(control->type) << " \"" << control->caption << "\"";
        if (!control->tag.empty())
            out << " [" << control->tag << "]";
        if (!control->description.empty() && control->description != control->caption)
            out << ", description \"" << control->description << "\"";
        if (control->beginGroup)
            out << ", group";
        if (control->width || control->dropDownWidth)
            out << ", width " << control->width << "/" << control->dropDownWidth;
        if (control->state == -1)
            out << ", pressed";
        if (!control->face.empty())
            out << ", face " << control->face.width << "x" << control->face.height;
        if (control->popupBar && control->popupBar->protection)
            out << ", menu protection " << control->popupBar->protection;
        out << "\n";
        if (control->popupBar)
            DescribeControls(out, *control->popupBar, indent + "  ");
    }
}

std::string Describe(const CommandBarState& bar)
{
    std::ostringstream out;
    DescribeBar(out, bar, "");
    return out.str();
}

std::string Describe(const ApplicationState& app)
{
    std::ostringstream out;
    out << HostName(app.host) << " " << app.version << (app.visible ? ", visible" : ", hidden")
        << ", Quit called " << app.quitCalls << " time(s), COMAddIns.Update called "
        << app.comAddInsUpdates << " time(s)\n";
    for (const ComAddInState& addIn : app.comAddIns)
        out << "add-in " << addIn.progId << ": " << (addIn.connected ? "connected" : "not connected")
            << "\n";
    for (const std::string& name : app.wordAddIns)
        out << "template " << name << "\n";
    if (app.commandBars) {
        out << "command bars:\n";
        for (const auto& bar : app.commandBars->bars)
            DescribeBar(out, *bar, "  ");
    }
    for (const auto& explorer : app.explorers) {
        out << "explorer on " << explorer->folder << (explorer->closed ? ", closed" : "")
            << (explorer == app.activeExplorer ? ", active" : "") << "\n";
        for (const auto& bar : explorer->commandBars->bars)
            DescribeBar(out, *bar, "  ");
    }
    return out.str();
}

}  // namespace standin
