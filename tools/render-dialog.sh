#!/usr/bin/env bash
# Renders qbsetup's setup dialog, as a user sees it, into a PNG: Word's add-in
# on, the other hosts installed and off. Runs qbsetup.exe in a sandbox prefix
# under a virtual display.
#
#   tools/render-dialog.sh [output.png]      (default: docs/setup-dialog.png)
#
# Needs a build (cmake --build --preset mingw); installs imagemagick and
# x11-utils when they are missing (as root).
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$top/docs/setup-dialog.png}")
qbsetup="$top/build/mingw/bin/qbsetup.exe"
[ -f "$qbsetup" ] || { echo "render-dialog: build first (no $qbsetup)" >&2; exit 1; }

# shellcheck source=tools/wine-sandbox.sh
source "$top/tools/wine-sandbox.sh"
if [ -z "${RENDER_DIALOG_DISPLAY:-}" ]; then
    ensure_wine_packages imagemagick x11-utils xvfb xauth
    # (not exec: a forced emulation set up above ends with this script)
    RENDER_DIALOG_DISPLAY=1 xvfb-run -a -s "-screen 0 640x400x24" "$0" "$out"
    exit
fi

make_sandbox_prefix qbsetup.exe office_standin.exe
at_exit drop_sandbox_prefix
simulate_office
sandbox_reg 'HKCU\Software\Microsoft\Office\Word\Addins\Quillbar.QBWordAddin.2' \
    /v FileName /d 'C:\Programme\TALVO\qbword.dll'
capture_setup_dialog "$qbsetup" "$out"
echo "render-dialog: wrote $out"
