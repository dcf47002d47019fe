#include "TextConversion.h"

#include <windows.h>

#include <climits>

std::wstring ToWide(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0);
    std::wstring wide(length > 0 ? length : 0, L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            length);
    return wide;
}

std::string ToNarrow(const wchar_t* text)
{
    if (!text || !*text)
        return std::string();
    const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return std::string();
    std::string narrow(length - 1, '\0');  // the count includes the terminator
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty() || text.size() > static_cast<size_t>(INT_MAX))
        return std::string();
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr,
                                         nullptr);
    std::string utf8(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

bool ToNarrowExactly(const std::wstring& text, std::string& narrow)
{
    narrow.clear();
    if (text.empty())
        return true;
    if (text.size() > static_cast<size_t>(INT_MAX))
        return false;
    const int size = static_cast<int>(text.size());
    // UTF-8 as the ANSI code page takes neither the flag nor the question;
    // the comparison at the end finds what it cannot hold.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const askUsedDefault = utf8 ? nullptr : &usedDefault;
    const int length = WideCharToMultiByte(CP_ACP, flags, text.data(), size, nullptr, 0, nullptr,
                                           askUsedDefault);
    if (length <= 0 || usedDefault)
        return false;
    std::string converted(static_cast<size_t>(length), '\0');
    if (WideCharToMultiByte(CP_ACP, flags, text.data(), size, converted.data(), length, nullptr,
                            askUsedDefault) != length ||
        usedDefault || ToWide(converted) != text)
        return false;
    narrow.swap(converted);
    return true;
}

std::size_t WholeCharactersIn(const std::wstring& text, std::size_t start, std::size_t most)
{
    if (start >= text.size() || most == 0)
        return 0;
    const std::size_t left = text.size() - start;
    if (left <= most)
        return left;
    const bool partsAPair =
        IsHighSurrogate(text[start + most - 1]) && IsLowSurrogate(text[start + most]);
    return partsAPair && most > 1 ? most - 1 : most;
}
