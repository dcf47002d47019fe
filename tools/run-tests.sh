#!/usr/bin/env bash
# The project's one test command. On a fresh Debian 12 machine (as root) it
# installs what is missing, configures and builds the Windows binaries with
# MinGW-w64 (everything 32-bit, tlvshell.dll and its tests also 64-bit), and
# runs every test under Wine in a private prefix made for this run (a 64-bit
# Windows that runs 32-bit programs too), inside a virtual X display. Exits
# non-zero on any failure.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

# shellcheck source=tools/wine-sandbox.sh
source "$top/tools/wine-sandbox.sh"
ensure_wine_packages cmake make mingw-w64 mingw-w64-tools libwine-dev xvfb xauth googletest

cmake --preset mingw
cmake --build --preset mingw

# The sandbox's environment sets LC_ALL=C.UTF-8: Wine takes its ANSI code
# page from the locale, and C.UTF-8 gives code page 1252, the one our German
# texts are written in.
echo "run-tests: creating a Wine prefix for this run"
make_sandbox_prefix shell_tests.exe dialog_tests.exe qbsetup.exe office_standin.exe cscript.exe
trap drop_sandbox_prefix EXIT

xvfb-run -a -s "-screen 0 1024x768x24" \
    ctest --preset mingw --parallel "$(nproc)"
