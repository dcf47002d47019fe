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

missing=()
for package in imagemagick x11-utils xvfb xauth wine wine64; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
if ((${#missing[@]})); then
    [ "$(id -u)" = 0 ] || { echo "render-dialog: missing ${missing[*]}" >&2; exit 1; }
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Everything Wine does here needs the virtual display: a Wine desktop made
# without one stays without one.
if [ -z "${RENDER_DIALOG_DISPLAY:-}" ]; then
    RENDER_DIALOG_DISPLAY=1 exec xvfb-run -a -s "-screen 0 640x400x24" "$0" "$out"
fi

# shellcheck source=tools/office-sandbox.sh
source "$top/tools/office-sandbox.sh"
make_sandbox_prefix
trap drop_sandbox_prefix EXIT
simulate_office
sandbox_reg 'HKCU\Software\Microsoft\Office\Word\Addins\Quillbar.QBWordAddin.2' \
    /v FileName /d 'C:\Programme\TALVO\qbword.dll'
# With no window manager on the virtual display, Wine draws the frame itself.
sandbox_reg 'HKCU\Software\Wine\AppDefaults\qbsetup.exe\X11 Driver' /v Managed /d N
# The dialog font comes with the translator; here its classic stand-in.
sandbox_reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v 'TALVO Helv WE' /d 'MS Sans Serif'

mkdir -p "$(dirname "$out")"
wine "$qbsetup" >/dev/null 2>&1 &
window=
for _ in $(seq 150); do
    window=$(xwininfo -root -tree | grep '"Quillbar":' | head -n 1 | awk '{print $1}' || true)
    [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || { echo "render-dialog: the dialog did not appear" >&2; exit 1; }
sleep 2   # let it paint
import -window "$window" "$out"
echo "render-dialog: wrote $out"
