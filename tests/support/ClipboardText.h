#pragma once

#include <string>

// The clipboard as a user leaves it: some text.
void PutTextOnClipboard(const std::string& text);
// The clipboard's text; "" when it holds none, "<closed>" when it cannot be opened.
std::string ClipboardText();
// True when the clipboard holds no format at all.
bool ClipboardIsEmpty();
// Empties the clipboard.
void EmptyTheClipboard();
