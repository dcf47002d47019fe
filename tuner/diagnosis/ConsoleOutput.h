#pragma once

// Writes the report to standard output: to a console as Unicode, so that
// umlauts show whatever its code page; into a file or a pipe as bytes in the
// given code page (the ANSI code page for text, UTF-8 for JSON).

#include <windows.h>

#include <string>

// False when the text could not be written whole.
bool WriteOutput(const std::wstring& text, UINT fileCodePage);
