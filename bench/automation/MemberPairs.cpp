#include "MemberPairs.h"

#include <cstring>

namespace bench {

namespace {

// Members that Office's type library (mso.dll) declares in CommandBarControl,
// from which the button, drop-down and popup interfaces derive.
const char* const kCommandBarControlMembers[] = {
    "BeginGroup", "BuiltIn", "Caption", "Copy", "Delete", "DescriptionText", "Enabled",
    "Execute", "Height", "HelpContextId", "HelpFile", "Id", "Index", "Left", "Move",
    "OnAction", "Parameter", "Parent", "Priority", "Reset", "SetFocus", "Tag", "TooltipText",
    "Top", "Type", "Visible", "Width",
};

bool DeclaredByCommandBarControl(const std::string& member)
{
    for (const char* name : kCommandBarControlMembers)
        if (member == name)
            return true;
    return false;
}

// The stand-in's kinds of object, by the interface each stands for.
std::string InterfaceOf(const standin::CallRecord& call)
{
    const std::string& kind = call.object;
    if (kind == "Application")
        return call.label + " _Application";  // one interface per host
    if (kind == "Button" || kind == "ComboBox" || kind == "Popup" || kind == "Control") {
        if (DeclaredByCommandBarControl(call.member))
            return "CommandBarControl";
        if (kind == "Button")
            return "_CommandBarButton";
        if (kind == "ComboBox")
            return "_CommandBarComboBox";
        if (kind == "Popup")
            return "CommandBarPopup";
        return "CommandBarControl";
    }
    return kind;  // CommandBars, CommandBar, COMAddIns, Explorer, ...
}

}  // namespace

std::set<std::string> DeclaredMembersCalled(const standin::Journal& journal)
{
    std::set<std::string> pairs;
    for (const standin::CallRecord& call : journal.Calls())
        pairs.insert(InterfaceOf(call) + "." + call.member);
    return pairs;
}

}  // namespace bench
