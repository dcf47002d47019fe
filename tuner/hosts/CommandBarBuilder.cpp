#include "CommandBarBuilder.h"

#include "OfficeInterfaces.h"
#include "ResourceString.h"

#include <string>

namespace {

constexpr long kDropDownWidth = 120;

// The clipboard, opened without an owner window for as long as this lives.
class OpenClipboardScope {
public:
    OpenClipboardScope() : open_(OpenClipboard(nullptr) != FALSE) {}
    ~OpenClipboardScope()
    {
        if (open_)
            CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

// Empties the clipboard and leaves the face bitmap on it. False when the
// clipboard cannot be opened.
bool PutFaceOnClipboard(int bitmapId)
{
    OpenClipboardScope clipboard;
    if (!clipboard.IsOpen())
        return false;
    EmptyClipboard();
    HBITMAP face = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId));
    // The clipboard owns the bitmap once it has taken it.
    if (face && !SetClipboardData(CF_BITMAP, face))
        DeleteObject(face);
    return true;
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
            if (!PutFaceOnClipboard(row->bitmapId))
                return;  // someone else holds the clipboard: build no further
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
