#!/usr/bin/env bash
# The packages of this build under Wine's msiexec, in a Wine prefix of the
# test's own: a 64-bit Windows with a simulated Office XP (its keys where
# Office's 32-bit installer writes them).
#  - The x86 package refuses 64-bit Windows.
#  - This version of the x64 package replaces an older one (a major
#    upgrade), which then refuses to replace it.
#  - A script host of each bitness creates QBSetup.QuillbarTuner and
#    Talvo6.WebPageFolder, the 32-bit one switches Excel's add-in on through
#    the tuner; the context-menu handler is registered in both registry views.
#  - A repair brings back a deleted program file and a deleted registration.
#  - Removed inside a later version's upgrade, it leaves the add-in on.
#  - Installed again and removed, it switches the add-in off and leaves the
#    registry (both views) and the files as they were before the first
#    installation.
#
#   package-lifecycle-test.sh BIN PRODUCT_WXI    (as package-tables-test.sh)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
# shellcheck source=tools/wine-sandbox.sh
source "$top/tools/wine-sandbox.sh"
# shellcheck source=tests/release/package-support.sh
source "$here/package-support.sh"
bin=$(cd "$1" && pwd)
product=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/quillbar-package-lifecycle.XXXXXX")
remove_work() { rm -rf "$work"; }
at_exit remove_work

build_test_packages "$bin" "$product" "$work/packages"
current=$work/packages/quillbar-6.0.0.4-x64.msi
older=$work/packages/older/quillbar-5.0.0.0-x64.msi
current_code='{E0439380-C4ED-5035-A27D-64BB0C996784}'
older_code='{6C3C1D5E-2F0A-4B7B-9E55-0A1B2C3D4E64}'
folder='C:\Program Files (x86)\TALVO'
private_prefix
simulate_office

# msiexec ARGUMENT... EXPECTED_STATUS WHAT: runs Wine's msiexec silently and
# expects its exit status (Windows' code cut to 8 bits: 1603 reads 67).
runs=0
msiexec() {
    local expected=${*: -2:1} what=${*: -1} status=0 log
    runs=$((runs + 1))
    log=$work/msiexec-$runs.log
    /usr/lib/wine/wine64 msiexec "${@:1:$#-2}" /qn /l*v "$(windows_path "$log")" >/dev/null 2>&1 || status=$?
    if [ "$status" != "$expected" ]; then
        [ -f "$log" ] && tr -d '\r' <"$log" | tail -n 40 >&2
        fail "$what: msiexec ended with $status, not $expected"
    fi
}
package() { windows_path "$1"; }

# reg in the 64-bit tool, which sees both views.
reg64() { /usr/lib/wine/wine64 reg "$@"; }
installed() { reg64 query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1" >/dev/null 2>&1; }
# default VIEW KEY: the key's default value in registry view VIEW (32 or 64);
# read through a file, as every Wine program's output here, so that no Wine
# process started on the way can hold a pipe open.
default() {
    reg64 query "$2" /ve "/reg:$1" >"$work/reg.out" 2>/dev/null || true
    tr -d '\r' <"$work/reg.out" | sed -n 's/^ *(Default) *REG_SZ *//p'
}
expect_registered() {
    local actual
    actual=$(default "$1" "$2")
    [ "$actual" = "$3" ] || fail "$2 in the $1-bit view holds '$actual', not '$3'"
}

# run_script BITS SCRIPT [ARGUMENT...]: the script host of that bitness runs
# SCRIPT; its output goes to $work/script.out, through a file: the tuner's
# server, which a script may start, inherits its handles.
run_script() {
    local bits=$1 script=$2 host
    shift 2
    case $bits in
        32) host=(wine 'C:\windows\syswow64\cscript.exe') ;;
        64) host=(/usr/lib/wine/wine64 'C:\windows\system32\cscript.exe') ;;
    esac
    "${host[@]}" //nologo "$(windows_path "$script")" "$@" >"$work/script.out" 2>&1 </dev/null ||
        { cat "$work/script.out" >&2; fail "the $bits-bit script host failed to run $script"; }
}
# use_product BITS EXPECTED [switch-excel-on]: use-product.js, whose line
# must be EXPECTED.
use_product() {
    local bits=$1 expected=$2 out=$work/script.out
    shift 2
    run_script "$bits" "$here/use-product.js" "$@"
    [ "$(tr -d '\r' <"$out")" = "$expected" ] ||
        fail "the $bits-bit script host saw '$(tr -d '\r' <"$out")', not '$expected'"
}

# The registry of both views (HKLM\Software holds the 32-bit one under
# Wow6432Node; HKCU both share) as one record a key and a value, and the
# files of drive C:.
snapshot() {
    local out=$1 root
    mkdir -p "$out"
    for root in 'HKLM\Software' HKCU; do
        reg64 export "$root" "$(windows_path "$out/${root%%\\*}.reg")" /y >/dev/null 2>&1 ||
            fail "could not export $root"
        iconv -f UTF-16LE -t UTF-8 "$out/${root%%\\*}.reg" | tr -d '\r' | awk '
            NR == 1 || /^$/ { next }
            /^\[/ { key = $0; print key; next }
            { line = $0
              while (line ~ /\\$/ && (getline more) > 0) { sub(/\\$/, "", line); sub(/^ +/, "", more); line = line more }
              print key "\t" line }'
    done | LC_ALL=C sort >"$out/registry"
    (cd "$WINEPREFIX/drive_c" && find . | LC_ALL=C sort) >"$out/files"
}
# Wine registers its script host's type library when the script host first
# runs, as Windows has it from the start: that comes before the snapshot.
: >"$work/nothing.js"
run_script 32 "$work/nothing.js"
run_script 64 "$work/nothing.js"
snapshot "$work/before"

msiexec /i "$(package "$work/packages/quillbar-6.0.0.4-x86.msi")" 67 "the x86 package on 64-bit Windows"

msiexec /i "$(package "$older")" 0 "installing the older version"
msiexec /i "$(package "$current")" 0 "replacing the older version"
installed "$current_code" || fail "this version is not installed after the upgrade"
! installed "$older_code" || fail "the older version is still installed after the upgrade"
msiexec /i "$(package "$older")" 67 "the older version over this one"
installed "$current_code" && ! installed "$older_code" || fail "the older version replaced this one"

use_product 32 "tuner: 5 hosts, Excel's add-in on; web-page folder: 0 entries" switch-excel-on
use_product 64 "tuner: 5 hosts, Excel's add-in on; web-page folder: 0 entries"
menu='HKCR\CLSID\{E28C61E1-67D8-4005-9BF4-E232B2EB9012}\InprocServer32'
expect_registered 32 "$menu" "$folder\\tlvshell.dll"
expect_registered 64 "$menu" "$folder\\x64\\tlvshell.dll"
handler='HKCR\*\shellex\ContextMenuHandlers\TalvoMenu'
expect_registered 64 "$handler" '{E28C61E1-67D8-4005-9BF4-E232B2EB9012}'

rm "$WINEPREFIX/drive_c/Program Files (x86)/TALVO/qbsetup.exe"
reg64 delete "$handler" /f >/dev/null 2>&1 || fail "could not delete $handler"
msiexec /i "$(package "$current")" REINSTALL=ALL REINSTALLMODE=vamus 0 "repairing"
cmp -s "$WINEPREFIX/drive_c/Program Files (x86)/TALVO/qbsetup.exe" "$bin/qbsetup.exe" ||
    fail "the repair did not bring qbsetup.exe back"
expect_registered 64 "$handler" '{E28C61E1-67D8-4005-9BF4-E232B2EB9012}'

# A later version removes this one inside its own installation, and then the
# user's add-ins stay on. Windows runs that removal with UPGRADINGPRODUCTCODE
# set to the later version's product code; Wine 8's RemoveExistingProducts
# sets only REMOVE=ALL, so the removal is run here as Windows runs it.
excel_record='HKCU\Software\Microsoft\Office\Excel\Addins\Quillbar.QBExcelAddin.2'
msiexec /x "$(package "$current")" 'UPGRADINGPRODUCTCODE={6C3C1D5E-2F0A-4B7B-9E55-0A1B2C3D4E99}' 0 \
    "removing this version inside a later one's upgrade"
! installed "$current_code" || fail "still installed after the removal inside an upgrade"
reg64 query "$excel_record" >/dev/null 2>&1 || fail "a removal inside an upgrade switched Excel's add-in off"

msiexec /i "$(package "$current")" 0 "installing this version again"
msiexec /x "$(package "$current")" 0 "removing"
! installed "$current_code" || fail "still installed after the removal"
! reg64 query "$excel_record" >/dev/null 2>&1 || fail "Excel's add-in is still on after the removal"

# Nothing of the product is left. What Windows Installer keeps of its own
# (its folder and empty bookkeeping keys, which every Windows has once a
# package was installed) may be new, and so may Office's keys for Excel's
# add-ins, which switching the add-in on made: the tuner removes only the
# add-in's record from them. Only those keys, and only empty.
snapshot "$work/after"
allowed='[HKEY_LOCAL_MACHINE\Software\Classes\Installer]
[HKEY_LOCAL_MACHINE\Software\Classes\Installer\Features]
[HKEY_LOCAL_MACHINE\Software\Classes\Installer\Products]
[HKEY_LOCAL_MACHINE\Software\Classes\Installer\UpgradeCodes]
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Installer\UpgradeCodes]
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Installer\UserData]
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Installer\UserData\S-1-5-18]
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Installer\UserData\S-1-5-18\Components]
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Installer\UserData\S-1-5-18\Products]
[HKEY_CURRENT_USER\Software\Microsoft\Office\Excel]
[HKEY_CURRENT_USER\Software\Microsoft\Office\Excel\Addins]'
left=$(LC_ALL=C comm -13 "$work/before/registry" "$work/after/registry" | grep -vxF "$allowed" || true)
gone=$(LC_ALL=C comm -23 "$work/before/registry" "$work/after/registry")
left_files=$(LC_ALL=C comm -13 "$work/before/files" "$work/after/files" | grep -vx './windows/Installer' || true)
gone_files=$(LC_ALL=C comm -23 "$work/before/files" "$work/after/files")
[ -z "$left$gone$left_files$gone_files" ] || fail "the registry or the files differ from before the installation:
left in the registry:
$left
gone from the registry:
$gone
files left:
$left_files
files gone:
$gone_files"
echo "installed, upgraded, used, repaired and removed: nothing of the product is left"
