#!/usr/bin/env bash
# Shows qbsetup doing its main job, in a sandbox Wine prefix (never your own
# ~/.wine) with a simulated Office XP installation: the hosts and their
# add-in states as QuillbarTuner reports them, Excel's add-in switched on and
# off through QuillbarTuner with the resulting registry record, and the setup
# dialog rendered to a PNG.
#
#   tools/demo.sh        (as root on a fresh Debian 12 machine it installs what is missing)
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
# shellcheck source=tools/office-sandbox.sh
source "$top/tools/office-sandbox.sh"
qbsetup="$top/build/mingw/bin/qbsetup.exe"
picture="$top/build/demo/setup-dialog.png"

say() { printf '\n==> %s\n' "$*"; }

if [ -z "${QUILLBAR_DEMO_DISPLAY:-}" ]; then
    say "Installing what is missing (cross compiler, Wine, virtual display, image tools)"
    ensure_packages cmake make mingw-w64 mingw-w64-tools wine wine64 libwine-dev xvfb xauth \
        googletest imagemagick x11-utils
    say "Building qbsetup.exe and tlvshell.dll"
    cmake --preset mingw >/dev/null
    cmake --build --preset mingw --target qbsetup tlvshell >/dev/null
    # Everything Wine does from here on sees one virtual display.
    QUILLBAR_DEMO_DISPLAY=1 exec xvfb-run -a -s "-screen 0 640x400x24" "$0"
fi

say "Making a sandbox Wine prefix with a simulated Office XP (Word, Excel, PowerPoint, FrontPage, Outlook)"
make_sandbox_prefix
trap drop_sandbox_prefix EXIT
echo "    prefix: $WINEPREFIX"
simulate_office

say "Registering qbsetup.exe as the COM server of QuillbarTuner"
wine "$qbsetup" -RegServer
echo "    exit code $?"

scripts=$(mktemp -d)
cat >"$scripts/list.js" <<'JS'
var tuner = new ActiveXObject("QBSetup.QuillbarTuner");
WScript.Echo("QuillbarTuner reports " + tuner.Count + " Office hosts:");
for (var i = 0; i < tuner.Count; i++) {
    var name = tuner.Name(i);
    var on = tuner.Enabled(i);
    WScript.Echo("    " + i + "  " + name + "  add-in " + (on ? "on" : "off"));
}
JS
cat >"$scripts/switch.js" <<'JS'
var tuner = new ActiveXObject("QBSetup.QuillbarTuner");
var wanted = WScript.Arguments(0), value = Number(WScript.Arguments(1));
for (var i = 0; i < tuner.Count; i++) {
    var name = tuner.Name(i);
    if (name == wanted) {
        tuner.Enabled(i) = value;
        var now = tuner.Enabled(i);
        WScript.Echo(name + ": add-in switched " + (now ? "on" : "off"));
    }
}
JS
run_script() {
    local script=$1; shift
    wine cscript.exe //nologo "$(winepath -w "$script")" "$@" 2>/dev/null | tr -d '\r'
}
record='HKCU\Software\Microsoft\Office\Excel\Addins\Quillbar.QBExcelAddin.2'
show_record() {
    if wine reg query "$record" >/dev/null 2>&1; then
        wine reg query "$record" 2>/dev/null | tr -d '\r' | sed '/^$/d; s/^/    /'
    else
        echo "    (no record: the add-in is off)"
    fi
}

say "Asking QuillbarTuner (through COM, from a JScript client) for the hosts"
run_script "$scripts/list.js"

say "Switching Excel's add-in on through QuillbarTuner"
run_script "$scripts/switch.js" "Microsoft Excel" 1
echo "    Excel's add-in record now reads:"
show_record

say "Switching it off again"
run_script "$scripts/switch.js" "Microsoft Excel" 0
show_record

say "The hosts once more"
run_script "$scripts/list.js"
rm -rf "$scripts"

say "Rendering the setup dialog (what a user sees when starting qbsetup.exe)"
capture_setup_dialog "$qbsetup" "$picture"
echo "    wrote $picture"

say "Done. The sandbox prefix is removed now."
