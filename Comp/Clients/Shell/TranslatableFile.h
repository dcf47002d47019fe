#pragma once

#include <string>

// Whether the context menu offers the translation for this file: its
// extension (after the last dot of the part after the last backslash), with
// the letters a to z upper-cased, is exactly TXT, DOC, STD, RTF, HTM or HTML.
// Only ASCII letters change case: no other character turns into one of them.
bool HasTranslatableExtension(const std::wstring& path);
