#include "ScriptClient.h"

#include "ProgramRun.h"
#include "ScratchFolder.h"

#include <sstream>

namespace {

// Times come from the script's own clock (Date, in milliseconds), around
// each loop only: starting cscript and the servers is not part of them. A
// round's calls go in batches alternating between the two servers, as the
// C++ client's do.
constexpr char kScript[] = R"(
var args = WScript.Arguments;
var ours = new ActiveXObject(args(0));
var floor = new ActiveXObject(args(1));
var calls = parseInt(args(2), 10), rounds = parseInt(args(3), 10);
var batch = Math.max(1, Math.floor(calls / 20));
var hosts = ours.Count;
function time(tuner, member, n) {
    var value, i, start = new Date().getTime();
    if (member == 0) for (i = 0; i < n; i++) value = tuner.Count;
    else if (member == 1) for (i = 0; i < n; i++) value = tuner.Name(i % hosts);
    else for (i = 0; i < n; i++) value = tuner.Enabled(i % hosts);
    return new Date().getTime() - start;
}
var names = ["Count", "Name", "Enabled"], best = [], m, r, done, turn, a, b;
for (m = 0; m < 3; m++) {
    time(ours, m, 20);
    time(floor, m, 20);
    best.push([1e9, 1e9]);
}
for (r = 0; r < rounds; r++) {
    for (m = 0; m < 3; m++) {
        a = 0;
        b = 0;
        for (done = 0, turn = 0; done < calls; done += batch, turn++) {
            if (turn % 2) {
                a += time(ours, m, batch);
                b += time(floor, m, batch);
            } else {
                b += time(floor, m, batch);
                a += time(ours, m, batch);
            }
        }
        best[m][0] = Math.min(best[m][0], a);
        best[m][1] = Math.min(best[m][1], b);
    }
}
for (m = 0; m < 3; m++) WScript.Echo(names[m] + " " + best[m][0] + " " + best[m][1]);
)";

}  // namespace

std::optional<ScriptTimes> TimeScriptCalls(const std::string& oursProgId,
                                           const std::string& floorProgId, int calls, int rounds,
                                           std::string& error)
{
    const ScratchFolder folder;
    const std::string script = folder.Write("calls.js", kScript);
    const ProgramRun run =
        RunProgram("cscript.exe //nologo \"" + script + "\" " + oursProgId + " " + floorProgId +
                       " " + std::to_string(calls) + " " + std::to_string(rounds),
                   600000);
    std::istringstream lines(run.output);
    ScriptTimes times;
    int found = 0;
    for (TunerMember member : {TunerMember::Count, TunerMember::Name, TunerMember::Enabled}) {
        std::string name;
        const int slot = static_cast<int>(member);
        if (lines >> name >> times.ours[slot] >> times.floor[slot] && name == MemberName(member))
            ++found;
    }
    if (!run.finished || run.exitCode != 0 || found != 3) {
        error = "script client: " + run.output;
        return std::nullopt;
    }
    return times;
}
