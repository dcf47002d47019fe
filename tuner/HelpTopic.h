#pragma once

#include <windows.h>

// The dialog's help topic in quillbar.chm.
inline constexpr DWORD kSetupHelpTopic = 2061;

// Opens quillbar.chm, which lies beside the Word add-in's server, at the
// topic. Does nothing when the add-in or the HTML Help engine is missing.
void ShowHelpTopic(DWORD topic);
