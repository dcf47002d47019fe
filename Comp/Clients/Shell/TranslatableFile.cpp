#include "TranslatableFile.h"

namespace {

const wchar_t* const kTranslatableExtensions[] = {L"TXT", L"DOC", L"STD", L"RTF", L"HTM", L"HTML"};

// The Unicode case mapping would also turn a few letters of other scripts
// into ASCII ones (U+017F, the long s, into 'S'), so that "notiz.\u017Ftd"
// would pass for a translatable file.
wchar_t UpperAscii(wchar_t c)
{
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

}  // namespace

bool HasTranslatableExtension(const std::wstring& path)
{
    // UTF-16 keeps the backslash and the dot out of every other character,
    // surrogate pairs included.
    const size_t lastBackslash = path.rfind(L'\\');
    const size_t lastDot = path.rfind(L'.');

    // The file-name part is the whole path when there is no backslash or the
    // path ends with one.
    const size_t nameStart =
        lastBackslash == std::wstring::npos || lastBackslash + 1 == path.size() ? 0
                                                                                : lastBackslash + 1;
    if (lastDot == std::wstring::npos || lastDot < nameStart)
        return false;
    std::wstring extension = path.substr(lastDot + 1);
    if (extension.empty())
        return false;
    for (wchar_t& c : extension)
        c = UpperAscii(c);
    for (const wchar_t* accepted : kTranslatableExtensions) {
        if (extension == accepted)
            return true;
    }
    return false;
}
