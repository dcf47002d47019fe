#pragma once

// Interface ids of the Office object models the installers drive, beyond the
// application interfaces of the host table.

#include <windows.h>

namespace office {

// Office's interfaces share the pattern {xxxxxxxx-0000-0000-C000-000000000046}.
constexpr IID OfficeIid(unsigned long data1)
{
    return {data1, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
}

// Shared Office command bars and COM add-ins.
inline constexpr IID IID_CommandBars        = OfficeIid(0x000C0302);
inline constexpr IID IID_CommandBar         = OfficeIid(0x000C0304);
inline constexpr IID IID_CommandBarControls = OfficeIid(0x000C0306);
inline constexpr IID IID_CommandBarControl  = OfficeIid(0x000C0308);
inline constexpr IID IID_CommandBarPopup    = OfficeIid(0x000C030A);
inline constexpr IID IID_CommandBarComboBox = OfficeIid(0x000C030C);
inline constexpr IID IID_CommandBarButton   = OfficeIid(0x000C030E);
inline constexpr IID IID_COMAddIns          = OfficeIid(0x000C0339);
inline constexpr IID IID_COMAddIn           = OfficeIid(0x000C033A);

// Word.
inline constexpr IID IID_WordDocuments = OfficeIid(0x0002096C);
inline constexpr IID IID_WordDocument  = OfficeIid(0x0002096B);
inline constexpr IID IID_WordAddIns    = OfficeIid(0x0002097F);
inline constexpr IID IID_WordAddIn     = OfficeIid(0x0002097E);

// Outlook.
inline constexpr IID IID_OutlookNameSpace = OfficeIid(0x00063002);
inline constexpr IID IID_OutlookExplorer  = OfficeIid(0x00063003);
inline constexpr IID IID_OutlookFolder    = OfficeIid(0x00063006);
inline constexpr IID IID_OutlookExplorers = OfficeIid(0x0006300A);

// Enumeration values passed to the object models.
inline constexpr long kControlButton = 1;     // msoControlButton
inline constexpr long kControlDropdown = 3;   // msoControlDropdown
inline constexpr long kControlPopup = 10;     // msoControlPopup
inline constexpr long kBarNoCustomize = 1;    // msoBarNoCustomize
inline constexpr long kBarNoChangeVisible = 8;  // msoBarNoChangeVisible
inline constexpr long kBarTop = 1;            // msoBarTop
inline constexpr long kButtonDown = -1;       // msoButtonDown

}  // namespace office
