#pragma once

// Steps that several installers take alike.

#include "Automation.h"

#include <string>

struct OfficeHost;

// A new instance of the host, created under its automation ProgIDs tried in
// order; a null object when none can be created.
AutomationObject CreateHostFromProgIds(const OfficeHost& host);

// Office 2000, XP and 2003 report versions starting "9.", "10." or "11.".
bool IsSupportedOfficeVersion(const std::string& version);

// COMAddIns.Item(progId); null when the collection does not know the add-in
// (the call's failure is the answer, not an error).
AutomationObject FindComAddIn(const AutomationObject& comAddIns, const std::string& progId);

// The value for COMAddIn.Connect: -1 loads the add-in, 0 unloads it.
Variant Connection(bool connected);

// Whether a failing COMAddIns.Update ends the installer's run or is passed
// over (the add-in is then looked up all the same).
enum class UpdateFailure { Raises, Ignored };

// Tells the application's COM add-in collection to re-read the add-in records
// (COMAddIns.Update), then connects or disconnects the add-in if the
// collection knows it. Getting the collection and Connect raise.
void UpdateComAddInConnection(const AutomationObject& application, const std::string& progId,
                              bool connected, UpdateFailure updateFailure = UpdateFailure::Raises);

// Deletes the popup tagged with the menu tag from the active menu bar, if
// there is one; a non-popup control with that tag stays.
void RemoveMenuPopup(const AutomationObject& commandBars);

// Deletes the first toolbar named like ours, if CommandBars.Item finds one.
void RemoveToolbar(const AutomationObject& commandBars);

// Whether a call failed because the host's process has gone (it crashed or
// was ended since it was reached), not because the host refused the call.
bool IsHostGone(HRESULT result);

// Runs an installer's body so that nothing it raises leaves the installer.
// The body catches what its steps tolerate and ends its own run on an
// automation error; anything else that escapes it (the record steps, running
// out of memory) ends the run with `resultAfterFailure`.
template <typename Body>
int NothingEscapes(int resultAfterFailure, Body&& body) noexcept
{
    try {
        return body();
    } catch (...) {
        return resultAfterFailure;
    }
}
