#include "ConsoleOutput.h"

#include "TextConversion.h"

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

// The code pages for which WideCharToMultiByte takes neither flags nor the
// question whether it used its default character.
bool TakesNoFlags(UINT codePage)
{
    return codePage == CP_UTF7 || codePage == CP_UTF8 || codePage == 42 || codePage >= 50000;
}

// Whether the character (one UTF-16 unit, or a surrogate pair) has a form
// of its own in the code page: no default character, no best-fit
// look-alike, and converting back gives it again.
bool ConvertsExactly(const wchar_t* character, int length, UINT codePage)
{
    const DWORD flags = TakesNoFlags(codePage) ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const askUsedDefault = TakesNoFlags(codePage) ? nullptr : &usedDefault;
    char bytes[16] = {};
    const int size = WideCharToMultiByte(codePage, flags, character, length, bytes, sizeof bytes,
                                         nullptr, askUsedDefault);
    if (size <= 0 || usedDefault)
        return false;
    wchar_t back[4] = {};
    return MultiByteToWideChar(codePage, 0, bytes, size, back, 4) == length &&
           std::wmemcmp(back, character, static_cast<std::size_t>(length)) == 0;
}

// The text with each character that the code page cannot hold written as
// "\uXXXX" (a surrogate pair as two), so that nothing is lost or turned into
// another character. Inside the JSON report's strings that is the escape
// JSON itself reads.
std::wstring EscapedFor(const std::wstring& text, UINT codePage)
{
    std::wstring escaped;
    escaped.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const bool pair = at + 1 < text.size() && IsHighSurrogate(text[at]) &&
                          IsLowSurrogate(text[at + 1]);
        const std::size_t length = pair ? 2 : 1;
        if (ConvertsExactly(text.data() + at, static_cast<int>(length), codePage)) {
            escaped.append(text, at, length);
        } else {
            for (std::size_t i = 0; i < length; ++i) {
                wchar_t code[8];
                swprintf(code, 8, L"\\u%04X", static_cast<unsigned>(text[at + i]));
                escaped += code;
            }
        }
        at += length;
    }
    return escaped;
}

}  // namespace

bool WriteOutput(const std::wstring& text, UINT fileCodePage)
{
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE)
        return false;
    DWORD mode = 0;
    if (GetConsoleMode(output, &mode)) {
        // The console shows what its code page holds.
        const std::wstring shown = EscapedFor(text, GetConsoleOutputCP());
        // A console takes at most some kilobytes per call; a piece never
        // ends between the halves of a surrogate pair.
        constexpr std::size_t kChunk = 8192;
        for (std::size_t at = 0; at < shown.size();) {
            const DWORD length = static_cast<DWORD>(WholeCharactersIn(shown, at, kChunk));
            DWORD written = 0;
            if (!WriteConsoleW(output, shown.data() + at, length, &written, nullptr) ||
                written != length)
                return false;
            at += length;
        }
        return true;
    }
    if (text.empty())
        return true;
    const std::wstring shown = EscapedFor(text, fileCodePage);
    const int length = static_cast<int>(shown.size());
    const int size =
        WideCharToMultiByte(fileCodePage, 0, shown.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return false;
    std::vector<char> bytes(static_cast<std::size_t>(size));
    WideCharToMultiByte(fileCodePage, 0, shown.data(), length, bytes.data(), size, nullptr,
                        nullptr);
    DWORD written = 0;
    return WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}
