#pragma once

#include <string>

// Whether the context menu offers the translation for this file: its
// extension (after the last dot of the part after the last backslash),
// upper-cased, is exactly TXT, DOC, STD, RTF, HTM or HTML. The path is ANSI
// text; double-byte characters are never split.
bool HasTranslatableExtension(const std::string& path);
