#include "StandInIids.h"

#include <objbase.h>

namespace standin {

IID IidFromText(const wchar_t* text)
{
    IID iid = IID_NULL;
    IIDFromString(text, &iid);
    return iid;
}

const Iids& OfficeIids()
{
    static const Iids iids;
    return iids;
}

}  // namespace standin
