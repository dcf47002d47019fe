#pragma once

// Narrow text is in the ANSI code page everywhere inside the deliverables;
// wide text appears only at COM boundaries.

#include <cstddef>
#include <string>

std::wstring ToWide(const std::string& text);
std::string ToNarrow(const wchar_t* text);  // a null pointer gives ""
std::string ToUtf8(const std::wstring& text);

// The text in the ANSI code page when every character has its own there, so
// that converting back gives the same text: no default character ('?') for
// one the code page lacks, no best-fit look-alike. Otherwise false, and
// narrow is empty. Zero characters are converted like any other.
bool ToNarrowExactly(const std::wstring& text, std::string& narrow);

// The halves of a surrogate pair: one character outside the Basic
// Multilingual Plane in two UTF-16 units.
inline bool IsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
inline bool IsLowSurrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// How many UTF-16 units of text, from `start`, make at most `most` whole
// characters' worth: `most`, one less where that would part a surrogate pair
// (at least one, so that a walk in pieces always moves on), or what is left.
std::size_t WholeCharactersIn(const std::wstring& text, std::size_t start, std::size_t most);
