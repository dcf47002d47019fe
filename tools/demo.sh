#!/usr/bin/env bash
# Shows what qbsetup does in Office, in a sandbox Wine prefix (never your own
# ~/.wine): a simulated Office XP installation, Word, Excel and Outlook
# already running (stand-in programs that behave like Office's object model
# and print their menus and toolbars), PowerPoint and FrontPage started on
# demand. QuillbarTuner switches every add-in on, -D switches them off again;
# the setup dialog is rendered before and after.
#
#   tools/demo.sh        (as root on a fresh Debian 12 machine it installs what is missing)
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
# shellcheck source=tools/wine-sandbox.sh
source "$top/tools/wine-sandbox.sh"
bin="$top/build/mingw/bin"
out="$top/build/demo"

say() { printf '\n==> %s\n' "$*"; }

if [ -z "${QUILLBAR_DEMO_DISPLAY:-}" ]; then
    say "Installing what is missing (cross compiler, Wine, virtual display, image tools)"
    ensure_wine_packages cmake make mingw-w64 mingw-w64-tools libwine-dev xvfb xauth \
        googletest imagemagick x11-utils
    say "Building qbsetup.exe and the Office stand-in"
    cmake --preset mingw >/dev/null
    cmake --build --preset mingw --target qbsetup office_standin_program >/dev/null
    # Everything Wine does from here on sees one virtual display.
    # (not exec: a forced emulation set up above ends with this script)
    QUILLBAR_DEMO_DISPLAY=1 xvfb-run -a -s "-screen 0 640x400x24" "$0"
    exit
fi

rm -rf "$out"
mkdir -p "$out/office"
say "Making a sandbox Wine prefix with a simulated Office XP (Word, Excel, PowerPoint, FrontPage, Outlook), installed as its 32-bit installer does it"
make_sandbox_prefix qbsetup.exe office_standin.exe
at_exit drop_sandbox_prefix
echo "    prefix: $WINEPREFIX"
simulate_office
office=$(winepath -w "$out/office")

say "Registering qbsetup.exe (QuillbarTuner) and the Office stand-in"
wine "$bin/qbsetup.exe" -RegServer
wine "$bin/office_standin.exe" --register "$office"
for host in Word Excel PowerPoint FrontPage Outlook; do
    printf 'version = 10.0\naddins = Quillbar.Qb%sAddin.2\n' "$host" >"$out/office/$host.config"
done
sed -i 's/Qb/QB/' "$out"/office/*.config
printf 'visible = 1\nwindow = 1\n' >>"$out/office/Word.config"
printf 'visible = 1\n' >>"$out/office/Excel.config"
printf 'visible = 1\nexplorer = 1\n' >>"$out/office/Outlook.config"

say "Starting Word, Excel and Outlook (PowerPoint and FrontPage are started when needed)"
for host in Word Excel Outlook; do
    wine "$bin/office_standin.exe" --run "$host" --host "$host" --dir "$office" >/dev/null 2>&1 &
    for _ in $(seq 100); do [ -f "$out/office/$host.ready" ] && break; sleep 0.1; done
    echo "    $host is running"
done

scripts=$(mktemp -d)
cat >"$scripts/list.js" <<'JS'
var tuner = new ActiveXObject("QBSetup.QuillbarTuner");
WScript.Echo("QuillbarTuner reports " + tuner.Count + " Office hosts:");
for (var i = 0; i < tuner.Count; i++) {
    var name = tuner.Name(i);
    var on = tuner.Enabled(i);
    WScript.Echo("    " + name + ": add-in " + (on ? "on" : "off"));
}
JS
cat >"$scripts/all-on.js" <<'JS'
var tuner = new ActiveXObject("QBSetup.QuillbarTuner");
for (var i = 0; i < tuner.Count; i++) {
    var name = tuner.Name(i);
    tuner.Enabled(i) = 1;
    var now = tuner.Enabled(i);
    WScript.Echo("    " + name + ": add-in " + (now ? "on" : "off"));
}
JS
run_script() {
    wine cscript.exe //nologo "$(winepath -w "$1")" 2>/dev/null | tr -d '\r'
}
show_tree() {
    echo "    --- $1, as the stand-in sees it now ---"
    sed 's/^/    /' "$out/office/$1.state"
}

say "Asking QuillbarTuner (through COM, from a JScript client) for the hosts"
run_script "$scripts/list.js"

say "The setup dialog before"
capture_setup_dialog "$bin/qbsetup.exe" "$out/dialog-before.png"
echo "    wrote $out/dialog-before.png"

say "Switching every add-in on through QuillbarTuner"
run_script "$scripts/all-on.js"

say "What that did in the hosts: PowerPoint and FrontPage got the translation menu and toolbar"
show_tree PowerPoint
show_tree FrontPage
show_tree Word
echo "    Excel's add-in record in the registry:"
wine reg query 'HKCU\Software\Microsoft\Office\Excel\Addins\Quillbar.QBExcelAddin.2' 2>/dev/null |
    tr -d '\r' | sed '/^$/d; s/^/    /'

say "The setup dialog after"
capture_setup_dialog "$bin/qbsetup.exe" "$out/dialog-after.png"
echo "    wrote $out/dialog-after.png"

say "Switching everything off again with the silent remover: qbsetup.exe -D"
wine "$bin/qbsetup.exe" -D
show_tree PowerPoint
run_script "$scripts/list.js"
rm -rf "$scripts"

say "Done. Pictures and the stand-ins' records (state trees, every call) are in $out; the sandbox prefix is removed now."
