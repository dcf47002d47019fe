#!/usr/bin/env bash
# The project's one test command. On a fresh Debian 12 machine (as root) it
# installs what is missing, configures and builds the Windows binaries with
# MinGW-w64, and runs every test under Wine in a private prefix made for this
# run, inside a virtual X display. Exits non-zero on any failure.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

packages=(cmake make mingw-w64 mingw-w64-tools wine wine64 libwine-dev xvfb xauth googletest)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
if ((${#missing[@]})); then
    if [ "$(id -u)" != 0 ]; then
        echo "run-tests: missing packages: ${missing[*]} (run as root to install them)" >&2
        exit 1
    fi
    echo "run-tests: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}" >/dev/null
fi

cmake --preset mingw
cmake --build --preset mingw

# Wine takes its ANSI code page from the locale: C.UTF-8 gives code page 1252,
# the one our German texts are written in.
export LC_ALL=C.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono/Gecko installer prompts
WINEPREFIX=$(mktemp -d /tmp/quillbar-wine.XXXXXX)
export WINEPREFIX

cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

echo "run-tests: creating Wine prefix $WINEPREFIX"
# Wine's helper processes must not hold our output open: send theirs elsewhere.
wineboot -i >/dev/null 2>&1
# Xvfb runs no window manager, and Wine waits two seconds for one whenever a
# managed window (a message box, say) is hidden. Test programs that open and
# close many windows, and the script host they drive, get unmanaged windows.
# (Before the server restarts: no Wine process may outlive this step without
# the virtual display.)
for program in shell_tests.exe dialog_tests.exe qbsetup.exe office_standin.exe cscript.exe; do
    wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\X11 Driver" \
        /v Managed /d N /f >/dev/null 2>&1
done
wineserver -w
wineserver -p >/dev/null 2>&1

xvfb-run -a -s "-screen 0 1024x768x24" \
    ctest --preset mingw --parallel "$(nproc)"
