#pragma once

// Office's published interface ids, as the stand-in answers for them. Kept
// apart from the tuner's own list on purpose, so that a wrong id on either
// side shows up as a failed query instead of agreeing with itself.

#include <windows.h>

namespace standin {

IID IidFromText(const wchar_t* text);

struct Iids {
    IID commandBars = IidFromText(L"{000C0302-0000-0000-C000-000000000046}");
    IID commandBar = IidFromText(L"{000C0304-0000-0000-C000-000000000046}");
    IID commandBarControls = IidFromText(L"{000C0306-0000-0000-C000-000000000046}");
    IID commandBarControl = IidFromText(L"{000C0308-0000-0000-C000-000000000046}");
    IID commandBarPopup = IidFromText(L"{000C030A-0000-0000-C000-000000000046}");
    IID commandBarComboBox = IidFromText(L"{000C030C-0000-0000-C000-000000000046}");
    IID commandBarButton = IidFromText(L"{000C030E-0000-0000-C000-000000000046}");
    IID comAddIns = IidFromText(L"{000C0339-0000-0000-C000-000000000046}");
    IID comAddIn = IidFromText(L"{000C033A-0000-0000-C000-000000000046}");

    IID wordApplication = IidFromText(L"{00020970-0000-0000-C000-000000000046}");
    IID wordDocuments = IidFromText(L"{0002096C-0000-0000-C000-000000000046}");
    IID wordDocument = IidFromText(L"{0002096B-0000-0000-C000-000000000046}");
    IID wordAddIns = IidFromText(L"{0002097F-0000-0000-C000-000000000046}");
    IID wordAddIn = IidFromText(L"{0002097E-0000-0000-C000-000000000046}");
    IID excelApplication = IidFromText(L"{000208D5-0000-0000-C000-000000000046}");
    IID powerPointApplication = IidFromText(L"{91493442-5A91-11CF-8700-00AA0060263B}");
    IID frontPageApplication = IidFromText(L"{04DF1014-7007-11D1-83BC-006097ABE675}");
    IID outlookApplication = IidFromText(L"{00063001-0000-0000-C000-000000000046}");
    IID outlookNameSpace = IidFromText(L"{00063002-0000-0000-C000-000000000046}");
    IID outlookExplorer = IidFromText(L"{00063003-0000-0000-C000-000000000046}");
    IID outlookFolder = IidFromText(L"{00063006-0000-0000-C000-000000000046}");
    IID outlookInspector = IidFromText(L"{00063005-0000-0000-C000-000000000046}");
    IID outlookExplorers = IidFromText(L"{0006300A-0000-0000-C000-000000000046}");
};

const Iids& OfficeIids();

// Control types of Office's CommandBarControls.Add.
inline constexpr long kButton = 1;
inline constexpr long kDropDown = 3;
inline constexpr long kPopup = 10;

}  // namespace standin
