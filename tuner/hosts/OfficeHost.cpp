#include "OfficeHost.h"

#include "AddinContract.h"
#include "Installers.h"

using V = OfficeVersion;

const char* VersionText(OfficeVersion version)
{
    switch (version) {
    case V::V9:  return "9.0";
    case V::V10: return "10.0";
    case V::V11: return "11.0";
    }
    return "";
}

const std::array<OfficeHost, 5> kOfficeHosts = {{
    {"ww", "Microsoft Word", "Word", 1000,
     addin::kWordProgId, addin::kPreviousWordProgId,
     "TALVO Quillbar for Word XP & 2000",
     {"Word.Application", nullptr, nullptr},
     {0x00020970, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}},
     InstallProbe::InstallRootAndUserKey, "Data",
     {V::V11, V::V10, V::V9}, false, false, InstallWordAddin},
    {"ex", "Microsoft Excel", "Excel", 1001,
     addin::kExcelProgId, addin::kPreviousExcelProgId,
     "TALVO Quillbar for Excel XP & 2000",
     {nullptr, nullptr, nullptr},  // only running instances are used
     {0x000208D5, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}},
     InstallProbe::InstallRootAndUserKey, "Options",
     {V::V11, V::V9, V::V10}, false, false, InstallExcelAddin},
    {"pp", "Microsoft PowerPoint", "PowerPoint", 1002,
     addin::kPowerPointProgId, addin::kPreviousPowerPointProgId,
     "TALVO Quillbar for PowerPoint XP & 2000",
     {"PowerPoint.Application.11", "PowerPoint.Application.10", "PowerPoint.Application.9"},
     {0x91493442, 0x5A91, 0x11CF, {0x87, 0x00, 0x00, 0xAA, 0x00, 0x60, 0x26, 0x3B}},
     InstallProbe::InstallRootAndUserKey, "Options",
     {V::V11, V::V10, V::V9}, true, false, InstallPowerPointAddin},
    {"fp", "Microsoft FrontPage", "FrontPage", 1003,
     addin::kFrontPageProgId, addin::kPreviousFrontPageProgId,
     "TALVO Quillbar for FrontPage XP & 2000",
     {"FrontPage.Application", nullptr, nullptr},
     {0x04DF1014, 0x7007, 0x11D1, {0x83, 0xBC, 0x00, 0x60, 0x97, 0xAB, 0xE6, 0x75}},
     InstallProbe::FrontPageKeys, nullptr,
     {V::V11, V::V10, V::V9}, true, true, InstallFrontPageAddin},
    {"ot", "Microsoft Outlook", "Outlook", 1008,
     addin::kOutlookProgId, addin::kPreviousOutlookProgId,
     "TALVO Quillbar for Outlook XP & 2000",
     {"Outlook.Application.11", "Outlook.Application.10", "Outlook.Application.9"},
     {0x00063001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}},
     InstallProbe::InstallRootAndSettings, nullptr,
     {V::V11, V::V10, V::V9}, true, false, InstallOutlookAddin},
}};
