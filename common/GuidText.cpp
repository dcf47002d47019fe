#include "GuidText.h"

#include "TextConversion.h"

#include <objbase.h>

std::string GuidText(const GUID& guid)
{
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return ToNarrow(text);
}
