#include "CommandBarBuilder.h"

#include "ClipboardScope.h"
#include "OfficeInterfaces.h"
#include "ResourceString.h"

#include <string>

namespace {

constexpr long kDropDownWidth = 120;

enum class Face {
    OnClipboard,    // the button's face is the clipboard's bitmap
    Missing,        // the clipboard was emptied, but the face could not be put on it
    ClipboardHeld,  // someone else holds the clipboard
};

// Empties the clipboard and leaves the face bitmap on it.
Face PutFaceOnClipboard(int bitmapId)
{
    const ClipboardScope clipboard(nullptr);
    if (!clipboard.IsOpen())
        return Face::ClipboardHeld;
    EmptyClipboard();
    HBITMAP face = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId));
    if (!face)
        return Face::Missing;
    // The clipboard owns the bitmap once it has taken it.
    if (!SetClipboardData(CF_BITMAP, face)) {
        DeleteObject(face);
        return Face::Missing;
    }
    return Face::OnClipboard;
}

// The text is "description\ncaption"; without a line feed it is both.
void SetTexts(const AutomationObject& control, int stringId)
{
    const std::string text = LoadResourceString(GetModuleHandleA(nullptr), stringId);
    const std::string::size_type lineFeed = text.find('\n');
    if (lineFeed == std::string::npos) {
        control.Put("DescriptionText", Text(text));
        control.Put("Caption", Text(text));
    } else {
        control.Put("DescriptionText", Text(text.substr(0, lineFeed)));
        control.Put("Caption", Text(text.substr(lineFeed + 1)));
    }
}

Variant Flag(int value)
{
    return Variant::Bool(value ? VARIANT_TRUE : VARIANT_FALSE);
}

AutomationObject AddControl(const AutomationObject& controls, long type)
{
    return controls.CallAs(office::IID_CommandBarControl, "Add", Variant::I4(type), Missing(),
                           Missing(), Missing(), Missing());
}

}  // namespace

void AddControlsFromTable(const AutomationObject& commandBar, const ControlDescriptor* table)
{
    const AutomationObject controls =
        commandBar.GetAs(office::IID_CommandBarControls, "Controls");

    for (const ControlDescriptor* row = table; row->bitmapId != 0; ++row) {
        if (row->bitmapId > 0) {
            const AutomationObject button =
                AddControl(controls, office::kControlButton).As(office::IID_CommandBarButton);
            if (!button)
                continue;
            button.Put("Tag", Text(row->tag));
            const Face face = PutFaceOnClipboard(row->bitmapId);
            if (face == Face::ClipboardHeld)
                return;  // build no further
            // Without its face on the clipboard, PasteFace would take nothing
            // (and Office raises): such a button keeps its tag, group and
            // texts, and shows no face.
            if (face == Face::OnClipboard)
                button.Call("PasteFace");
            button.Put("BeginGroup", Flag(row->beginGroup));
            SetTexts(button, row->stringId);
        } else {
            const AutomationObject dropDown =
                AddControl(controls, office::kControlDropdown).As(office::IID_CommandBarComboBox);
            if (!dropDown)
                continue;
            dropDown.Put("Tag", Text(row->tag));
            dropDown.Put("BeginGroup", Flag(row->beginGroup));
            dropDown.Put("DropDownWidth", Variant::I4(kDropDownWidth));
            dropDown.Put("Width", Variant::I4(kDropDownWidth));
            SetTexts(dropDown, row->stringId);
        }
    }
}
