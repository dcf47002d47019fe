#pragma once

#include "Automation.h"
#include "Catalogue.h"

// Appends one control per table row to the end of the command bar's controls:
// buttons get their tag, the face bitmap pasted through the clipboard, the
// group flag and their texts; drop-down lists get tag, group flag, widths and
// texts. When the clipboard cannot be opened the build stops quietly at that
// button; a button whose face cannot be put on the clipboard gets everything
// but the face. A failing object-model call raises; controls added so far stay.
void AddControlsFromTable(const AutomationObject& commandBar, const ControlDescriptor* table);
