// Office's shared command-bar objects: the collection of bars, a bar, a
// bar's controls and the controls themselves (plain, button, drop-down,
// popup), each answering for the interfaces Office gives it.

#include "OfficeObjects.h"

#include "Bitmaps.h"
#include "ClipboardScope.h"
#include "StandInIids.h"

#include <algorithm>

namespace standin {

namespace {

using std::shared_ptr;

Variant Nothing()
{
    return Variant::Dispatch(nullptr);
}

bool SameText(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

ComPtr<IDispatch> MakeControl(shared_ptr<Journal> journal, shared_ptr<CommandBarState> parent,
                              shared_ptr<ControlState> control);

class CommandBarsObject : public DispatchObject {
public:
    CommandBarsObject(shared_ptr<Journal> journal, shared_ptr<CommandBarsState> bars)
        : DispatchObject(std::move(journal), "CommandBars", {OfficeIids().commandBars}),
          bars_(std::move(bars))
    {
        AddProperty("ActiveMenuBar", [this](const Arguments&) {
            if (!bars_->activeMenuBar)
                return Nothing();
            return ObjectValue(MakeCommandBar(sharedJournal(), bars_, bars_->activeMenuBar));
        });
        AddProperty("Item", [this](const Arguments& args) {
            return ObjectValue(MakeCommandBar(sharedJournal(), bars_, Find(args.At(0))));
        });
        AddProperty("Count", [this](const Arguments&) {
            return Variant::I4(static_cast<long>(bars_->bars.size()));
        });
        // Name, Position, MenuBar, Temporary. Office refuses a second bar of a name.
        AddMethod("Add", [this](const Arguments& args) {
            const std::string name = args.IsMissing(0) ? "Custom" : args.Text(0);
            for (const auto& bar : bars_->bars)
                if (SameText(bar->name, name))
                    throw Failure{E_INVALIDARG};
            auto bar = bars_->AddToolbar(name);
            if (!args.IsMissing(1))
                bar->position = args.Number(1);
            return ObjectValue(MakeCommandBar(sharedJournal(), bars_, bar));
        });
    }

private:
    shared_ptr<CommandBarState> Find(const VARIANT& index) const
    {
        if (index.vt == VT_BSTR) {
            const std::string name = Arguments({index}).Text(0);
            for (const auto& bar : bars_->bars)
                if (SameText(bar->name, name))
                    return bar;
            throw Failure{E_INVALIDARG};
        }
        const long position = Arguments({index}).Number(0);
        if (position < 1 || position > static_cast<long>(bars_->bars.size()))
            throw Failure{E_INVALIDARG};
        return bars_->bars[position - 1];
    }

    shared_ptr<CommandBarsState> bars_;
};

// The first control with the tag, searched into popups when recursive;
// also the bar that holds it.
std::pair<shared_ptr<CommandBarState>, shared_ptr<ControlState>> FindByTag(
    const shared_ptr<CommandBarState>& bar, const std::string& tag, bool recursive)
{
    for (const auto& control : bar->controls) {
        if (control->tag == tag)
            return {bar, control};
        if (recursive && control->popupBar) {
            auto found = FindByTag(control->popupBar, tag, true);
            if (found.second)
                return found;
        }
    }
    return {nullptr, nullptr};
}

class CommandBarObject : public DispatchObject {
public:
    CommandBarObject(shared_ptr<Journal> journal, shared_ptr<CommandBarsState> owner,
                     shared_ptr<CommandBarState> bar)
        : DispatchObject(std::move(journal), "CommandBar", {OfficeIids().commandBar}),
          owner_(std::move(owner)), bar_(std::move(bar))
    {
        AddProperty("Name", [this](const Arguments&) { return Variant::Text(bar_->name); });
        AddProperty("Controls", [this](const Arguments&) { return NewControls(); });
        AddProperty(
            "Position", [this](const Arguments&) { return Variant::I4(bar_->position); },
            [this](const Arguments& args) { bar_->position = args.Number(0); });
        AddProperty(
            "Protection", [this](const Arguments&) { return Variant::I4(bar_->protection); },
            [this](const Arguments& args) { bar_->protection = args.Number(0); });
        AddProperty(
            "Visible",
            [this](const Arguments&) { return Variant::Bool(bar_->visible ? VARIANT_TRUE : 0); },
            [this](const Arguments& args) { bar_->visible = args.Number(0) != 0; });
        AddMethod("Delete", [this](const Arguments&) {
            if (bar_->builtIn || !owner_)
                throw Failure{E_FAIL};
            auto& bars = owner_->bars;
            bars.erase(std::remove(bars.begin(), bars.end(), bar_), bars.end());
            return Variant();
        });
        // Type, Id, Tag, Visible, Recursive: only the tag and recursion are looked at.
        AddMethod("FindControl", [this](const Arguments& args) {
            if (args.IsMissing(2))
                return Nothing();
            const bool recursive = !args.IsMissing(4) && args.Number(4) != 0;
            auto [parent, control] = FindByTag(bar_, args.Text(2), recursive);
            if (!control)
                return Nothing();
            return ObjectValue(MakeControl(sharedJournal(), parent, control));
        });
    }

private:
    std::string Label() const override { return bar_->name; }
    Variant NewControls();

    shared_ptr<CommandBarsState> owner_;
    shared_ptr<CommandBarState> bar_;
};

class ControlsObject : public DispatchObject {
public:
    ControlsObject(shared_ptr<Journal> journal, shared_ptr<CommandBarState> bar)
        : DispatchObject(std::move(journal), "CommandBarControls",
                         {OfficeIids().commandBarControls}),
          bar_(std::move(bar))
    {
        AddProperty("Count", [this](const Arguments&) {
            return Variant::I4(static_cast<long>(bar_->controls.size()));
        });
        AddProperty("Item", [this](const Arguments& args) {
            const long index = args.Number(0);
            if (index < 1 || index > static_cast<long>(bar_->controls.size()))
                throw Failure{E_INVALIDARG};
            return ObjectValue(MakeControl(sharedJournal(), bar_, bar_->controls[index - 1]));
        });
        // Type, Id, Parameter, Before, Temporary.
        AddMethod("Add", [this](const Arguments& args) {
            auto control = std::make_shared<ControlState>();
            control->type = args.IsMissing(0) ? 1 : args.Number(0);
            if (control->type == kPopup)
                control->popupBar = std::make_shared<CommandBarState>();
            auto& controls = bar_->controls;
            auto at = controls.end();
            if (!args.IsMissing(3)) {
                const long before = args.Number(3);
                if (before < 1 || before > static_cast<long>(controls.size()) + 1)
                    throw Failure{E_INVALIDARG};
                at = controls.begin() + (before - 1);
            }
            controls.insert(at, control);
            return ObjectValue(MakeControl(sharedJournal(), bar_, control));
        });
    }

private:
    std::string Label() const override { return bar_->name; }

    shared_ptr<CommandBarState> bar_;
};

Variant CommandBarObject::NewControls()
{
    return ObjectValue(MakeObject<ControlsObject>(sharedJournal(), bar_));
}

const char* ControlKind(long type)
{
    switch (type) {
    case kButton: return "Button";
    case kDropDown: return "ComboBox";
    case kPopup: return "Popup";
    default: return "Control";
    }
}

std::vector<IID> ControlInterfaces(long type)
{
    switch (type) {
    case kButton:
        return {OfficeIids().commandBarControl, OfficeIids().commandBarButton};
    case kDropDown:
        return {OfficeIids().commandBarControl, OfficeIids().commandBarComboBox};
    case kPopup:
        return {OfficeIids().commandBarControl, OfficeIids().commandBarPopup};
    default:
        return {OfficeIids().commandBarControl};
    }
}

// The face the clipboard holds as CF_BITMAP. A clipboard held for a moment
// (by Wine's clipboard manager, after every change) is waited for, as by a
// program that opens it; one held for longer fails the call.
void PasteFaceFromClipboard(ControlState& control)
{
    BitmapPixels face;
    {
        const ClipboardScope clipboard(nullptr);
        if (!clipboard.IsOpen())
            throw Failure{E_FAIL};
        const auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        if (!bitmap || !ReadBitmap(bitmap, face))
            throw Failure{E_FAIL};  // nothing to paste
    }
    control.face = std::move(face);
}

class ControlObject : public DispatchObject {
public:
    ControlObject(shared_ptr<Journal> journal, shared_ptr<CommandBarState> parent,
                  shared_ptr<ControlState> control)
        : DispatchObject(std::move(journal), ControlKind(control->type),
                         ControlInterfaces(control->type)),
          parent_(std::move(parent)), control_(std::move(control))
    {
        // What every control has, the button, drop-down and popup interfaces
        // inherit from CommandBarControl.
        DeclaredBy("CommandBarControl");
        AddText("Caption", &ControlState::caption);
        AddText("DescriptionText", &ControlState::description);
        AddText("Tag", &ControlState::tag);
        AddNumber("Width", &ControlState::width);
        AddProperty("Type", [this](const Arguments&) { return Variant::I4(control_->type); });
        AddProperty(
            "BeginGroup",
            [this](const Arguments&) { return Variant::Bool(control_->beginGroup ? -1 : 0); },
            [this](const Arguments& args) { control_->beginGroup = args.Number(0) != 0; });
        AddMethod("Delete", [this](const Arguments&) {
            auto& controls = parent_->controls;
            controls.erase(std::remove(controls.begin(), controls.end(), control_),
                           controls.end());
            return Variant();
        });

        DeclaredBy(ControlKind(control_->type));
        switch (control_->type) {
        case kButton:
            AddNumber("State", &ControlState::state);
            AddMethod("PasteFace", [this](const Arguments&) {
                PasteFaceFromClipboard(*control_);
                return Variant();
            });
            break;
        case kDropDown:
            AddNumber("DropDownWidth", &ControlState::dropDownWidth);
            break;
        case kPopup:
            AddProperty("CommandBar", [this](const Arguments&) {
                return ObjectValue(MakeCommandBar(sharedJournal(), nullptr, control_->popupBar));
            });
            break;
        }
    }

private:
    std::string Label() const override { return control_->tag; }

    void AddText(const char* name, std::string ControlState::*field)
    {
        AddProperty(
            name, [this, field](const Arguments&) { return Variant::Text((*control_).*field); },
            [this, field](const Arguments& args) { (*control_).*field = args.Text(0); });
    }
    void AddNumber(const char* name, long ControlState::*field)
    {
        AddProperty(
            name, [this, field](const Arguments&) { return Variant::I4((*control_).*field); },
            [this, field](const Arguments& args) { (*control_).*field = args.Number(0); });
    }

    shared_ptr<CommandBarState> parent_;
    shared_ptr<ControlState> control_;
};

ComPtr<IDispatch> MakeControl(shared_ptr<Journal> journal, shared_ptr<CommandBarState> parent,
                              shared_ptr<ControlState> control)
{
    return MakeObject<ControlObject>(std::move(journal), std::move(parent), std::move(control));
}

}  // namespace

ComPtr<IDispatch> MakeCommandBars(shared_ptr<Journal> journal, shared_ptr<CommandBarsState> bars)
{
    return MakeObject<CommandBarsObject>(std::move(journal), std::move(bars));
}

ComPtr<IDispatch> MakeCommandBar(shared_ptr<Journal> journal, shared_ptr<CommandBarsState> owner,
                                 shared_ptr<CommandBarState> bar)
{
    return MakeObject<CommandBarObject>(std::move(journal), std::move(owner), std::move(bar));
}

}  // namespace standin
