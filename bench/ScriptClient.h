#pragma once

// A script client of two tuner-shaped servers side by side: one JScript run
// under the 32-bit cscript, which creates an object of each by ProgID and
// times `calls` property gets of each member of each, in batches alternating
// between them, `rounds` times; the fastest round of each counts. Scripts reach the
// members through IDispatch, as every script host does.

#include "TunerClient.h"

#include <optional>
#include <string>

struct ScriptTimes {
    double ours[3] = {};  // milliseconds, by TunerMember
    double floor[3] = {};
};

// Empty when the script did not run to its end; `error` then says what it
// printed.
std::optional<ScriptTimes> TimeScriptCalls(const std::string& oursProgId,
                                           const std::string& floorProgId, int calls, int rounds,
                                           std::string& error);
