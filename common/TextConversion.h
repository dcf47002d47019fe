#pragma once

// Narrow text is in the ANSI code page everywhere inside the deliverables;
// wide text appears only at COM boundaries.

#include <string>

std::wstring ToWide(const std::string& text);
std::string ToNarrow(const wchar_t* text);  // a null pointer gives ""
