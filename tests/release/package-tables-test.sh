#!/usr/bin/env bash
# The two packages made from this build's files, read without installing
# them (msiinfo export): what they install where, the custom actions that
# register, unregister and switch the add-ins off with their places in the
# install script, the major upgrade, the launch conditions, the code page
# and the summary. wixl sequences actions loosely, so every row is pinned;
# and two builds of the packages must give the same rows.
#
#   package-tables-test.sh BIN PRODUCT_WXI
#       BIN: the build's binaries (build/mingw/bin, the 64-bit ones in BIN/x64);
#       PRODUCT_WXI: what CMake says the packages are (build/mingw/packaging)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/release/package-support.sh
source "$here/package-support.sh"
bin=$(cd "$1" && pwd)
product=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/quillbar-package-tables.XXXXXX")
trap 'rm -rf "$work"' EXIT
build_test_packages "$bin" "$product" "$work/first"

# A table's rows with their columns joined by "|".
rows() { table_rows "$1" "$2" | tr '\t' '|'; }

# Rows both packages have, then those of one platform only.
common_files='qbsetup.exe|Tuner|qbsetup.exe|6.0.0.4|512
qbdiag.exe|Diagnosis|qbdiag.exe|6.0.0.4|512
tlvshell.dll|Shell32|tlvshell.dll|6.0.0.4|512'
x64_files='tlvshell64.dll|Shell64|tlvshell.dll|6.0.0.4|512'
common_components='Tuner|{DD72E2E7-E99A-467A-98A8-4702CA9115E5}|INSTALLDIR|0||qbsetup.exe
Diagnosis|{E2E001F8-B716-4B7D-BE92-32143F774E9C}|INSTALLDIR|0||qbdiag.exe
Shell32|{49E9F5A5-3421-42E9-AD11-E0FF41E23D68}|INSTALLDIR|0||tlvshell.dll'
x64_components='Shell64|{0DF5F59C-6CD1-4392-9BB5-9F0D78F12B80}|INSTALLDIR64|256||tlvshell64.dll'
common_directories='TARGETDIR||SourceDir
ProgramFilesFolder|TARGETDIR|.
INSTALLDIR|ProgramFilesFolder|TALVO'
x64_directories='INSTALLDIR64|INSTALLDIR|x64'
# Types: 18 a program installed by the package, 50 a program a property
# names, 51 setting a property; 1024 in the install script, 256 rollback
# only, 2048 not impersonated (the system's context), 64 a failure is ignored.
common_actions='FindRegsvr32|51|REGSVR32|[SystemFolder]regsvr32.exe
UnregisterTunerOnRollback|3410|qbsetup.exe|-UnregServer
RegisterTuner|3090|qbsetup.exe|-RegServer
UnregisterShell32OnRollback|3442|REGSVR32|/s /u "[#tlvshell.dll]"
RegisterShell32|3122|REGSVR32|/s "[#tlvshell.dll]"
SwitchAddinsOff|1106|qbsetup.exe|-D
RegisterTunerOnRollback|3410|qbsetup.exe|-RegServer
UnregisterTuner|3154|qbsetup.exe|-UnregServer
RegisterShell32OnRollback|3442|REGSVR32|/s "[#tlvshell.dll]"
UnregisterShell32|3186|REGSVR32|/s /u "[#tlvshell.dll]"'
x64_actions='FindRegsvr64|51|REGSVR64|[System64Folder]regsvr32.exe
UnregisterShell64OnRollback|3442|REGSVR64|/s /u "[#tlvshell64.dll]"
RegisterShell64|3122|REGSVR64|/s "[#tlvshell64.dll]"
RegisterShell64OnRollback|3442|REGSVR64|/s "[#tlvshell64.dll]"
UnregisterShell64|3186|REGSVR64|/s /u "[#tlvshell64.dll]"'
# The whole install sequence: the older version goes between InstallValidate
# and InstallInitialize; removal switches the add-ins off (not in an
# upgrade), then unregisters, before RemoveFiles; installation and repair
# register after InstallFiles, each step after its rollback.
common_sequence='FindRelatedProducts||25
LaunchConditions||100
ValidateProductID||700
CostInitialize||800
FileCost||900
CostFinalize||1000
FindRegsvr32||1001
MigrateFeatureStates||1200
InstallValidate||1400
RemoveExistingProducts||1401
InstallInitialize||1500
ProcessComponents||1600
UnpublishFeatures||1800
SwitchAddinsOff|REMOVE~="ALL" AND NOT UPGRADINGPRODUCTCODE|3401
RegisterTunerOnRollback|REMOVE~="ALL"|3402
UnregisterTuner|REMOVE~="ALL"|3403
RegisterShell32OnRollback|REMOVE~="ALL"|3404
UnregisterShell32|REMOVE~="ALL"|3405
RemoveFiles||3500
InstallFiles||4000
UnregisterTunerOnRollback|NOT REMOVE~="ALL"|4001
RegisterTuner|NOT REMOVE~="ALL"|4002
UnregisterShell32OnRollback|NOT REMOVE~="ALL"|4003
RegisterShell32|NOT REMOVE~="ALL"|4004
RegisterUser||6000
RegisterProduct||6100
PublishFeatures||6300
PublishProduct||6400
InstallFinalize||6600'
x64_sequence='FindRegsvr64||1002
RegisterShell64OnRollback|REMOVE~="ALL"|3406
UnregisterShell64|REMOVE~="ALL"|3407
UnregisterShell64OnRollback|NOT REMOVE~="ALL"|4005
RegisterShell64|NOT REMOVE~="ALL"|4006'
upgrades='{5BF85C96-5949-4866-9AA0-0EA0892DA744}|0.0.0|6.0.0.4||256||OLDERVERSIONFOUND
{5BF85C96-5949-4866-9AA0-0EA0892DA744}|6.0.0.4|||2||NEWERVERSIONFOUND'
newer_refused='Installed OR NOT NEWERVERSIONFOUND|Eine neuere Version von [ProductName] ist bereits installiert.'
x86_only_on_32_bit='Installed OR NOT VersionNT64|Dieses Paket ist für 32-Bit-Windows. Unter 64-Bit-Windows installieren Sie das x64-Paket.'

for platform in x86 x64; do
    msi=$work/first/quillbar-6.0.0.4-$platform.msi
    [ -f "$msi" ] || fail "no package $msi"
    if [ "$platform" = x64 ]; then
        files="$common_files"$'\n'"$x64_files" components="$common_components"$'\n'"$x64_components"
        directories="$common_directories"$'\n'"$x64_directories" actions="$common_actions"$'\n'"$x64_actions"
        sequence="$common_sequence"$'\n'"$x64_sequence" conditions=$newer_refused
        product_code='{E0439380-C4ED-5035-A27D-64BB0C996784}' template='x64;1033'
    else
        files=$common_files components=$common_components directories=$common_directories
        actions=$common_actions sequence=$common_sequence
        conditions="$newer_refused"$'\n'"$x86_only_on_32_bit"
        product_code='{D31C82CD-1F8D-561D-982A-56C63500D1FE}' template='Intel;1033'
    fi
    expect_rows "$platform files (File, Component_, FileName, Version, Attributes)" "$files" \
        "$(rows "$msi" File | cut -d'|' -f1,2,3,5,7)"
    expect_rows "$platform components" "$components" "$(rows "$msi" Component)"
    expect_rows "$platform features' components" \
        "$(cut -d'|' -f1 <<<"$components" | sed 's/^/Complete|/')" "$(rows "$msi" FeatureComponents)"
    expect_rows "$platform directories" "$directories" "$(rows "$msi" Directory)"
    expect_rows "$platform custom actions (Action, Type, Source, Target)" "$actions" \
        "$(rows "$msi" CustomAction | cut -d'|' -f1-4)"
    expect_rows "$platform install sequence" "$sequence" "$(rows "$msi" InstallExecuteSequence)"
    expect_rows "$platform upgrade rows" "$upgrades" "$(rows "$msi" Upgrade)"
    expect_rows "$platform launch conditions" "$conditions" "$(rows "$msi" LaunchCondition)"
    expect_rows "$platform properties" "ALLUSERS|1
Manufacturer|Talvoworks
ProductLanguage|1031
ProductCode|$product_code
ProductName|TALVO 6 Quillbar-Tuner und Shell-Erweiterungen
ProductVersion|6.0.0.4
UpgradeCode|{5BF85C96-5949-4866-9AA0-0EA0892DA744}
SecureCustomProperties|NEWERVERSIONFOUND;OLDERVERSIONFOUND" "$(rows "$msi" Property)"
    # Every file has a version block, by which Windows Installer knows it: none by a hash.
    expect_rows "$platform files with a hash" "" "$(rows "$msi" MsiFileHash | cut -d'|' -f1)"
    # (An export of the code page is its number on the third line.)
    expect_rows "$platform code page" "1252	_ForceCodepage" \
        "$(msiinfo export "$msi" _ForceCodepage | tr -d '\r\0' | sed -n 3p)"
    summary=$(msiinfo suminfo "$msi")
    grep -qx "Template: $template" <<<"$summary" || fail "$platform: summary without 'Template: $template':"$'\n'"$summary"
    grep -qx 'Version: 200 (c8)' <<<"$summary" ||
        fail "$platform: summary without Windows Installer 2.0 (200):"$'\n'"$summary"
done

# The same files give packages with the same rows in every table.
build_test_packages "$bin" "$product" "$work/second"
for platform in x86 x64; do
    first=$work/first/quillbar-6.0.0.4-$platform.msi second=$work/second/quillbar-6.0.0.4-$platform.msi
    expect_rows "$platform tables" "$(msiinfo tables "$first")" "$(msiinfo tables "$second")"
    for table in $(msiinfo tables "$first"); do
        [ "$table" = _SummaryInformation ] && continue
        expect_rows "$platform $table rows of two builds" "$(rows "$first" "$table")" "$(rows "$second" "$table")"
    done
done
echo "both packages have the rows they are written with, and two builds the same"
