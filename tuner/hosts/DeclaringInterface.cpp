#include "DeclaringInterface.h"

#include "OfficeInterfaces.h"

#include <iterator>

namespace {

// Office's type library derives the button, drop-down and popup interfaces
// from CommandBarControl. Of CommandBarControl's own members, these are the
// ones the installers call through a derived interface. A member missing
// here is merely looked up once more per derived interface; one listed
// wrongly would be called with another interface's DISPID.
const IID* const kDerivedFromControl[] = {
    &office::IID_CommandBarButton,
    &office::IID_CommandBarComboBox,
    &office::IID_CommandBarPopup,
};
const char* const kDeclaredByControl[] = {
    "BeginGroup", "Caption", "Delete", "DescriptionText", "Tag", "Width",
};

bool DerivesFromControl(const IID& iid)
{
    for (const IID* derived : kDerivedFromControl)
        if (iid == *derived)
            return true;
    return false;
}

bool DeclaredByControl(const char* member)
{
    for (const char* name : kDeclaredByControl)
        if (lstrcmpiA(name, member) == 0)
            return true;
    return false;
}

}  // namespace

const IID& DeclaringInterface(const IID& iid, const char* member)
{
    if (DerivesFromControl(iid) && DeclaredByControl(member))
        return office::IID_CommandBarControl;
    return iid;
}
