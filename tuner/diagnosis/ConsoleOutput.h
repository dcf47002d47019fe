#pragma once

// Writes the report to standard output: to a console as Unicode, so that
// umlauts show whatever its code page; into a file or a pipe as bytes in the
// given code page (the ANSI code page for text, UTF-8 for JSON). A character
// that the console's code page, or the given one, cannot hold is written as
// "\uXXXX" (JSON's own escape), never dropped or turned into a look-alike.

#include <windows.h>

#include <string>

// False when the text could not be written whole.
bool WriteOutput(const std::wstring& text, UINT fileCodePage);
