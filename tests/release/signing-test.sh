#!/usr/bin/env bash
# tools/sign-files.sh with a certificate made for this run (a root and a
# code-signing certificate it issued; no key is kept): every program,
# library and package it signs verifies against that root and not against
# another (the chain is checked here: Wine's WinVerifyTrust accepts any
# root), carries SOURCE_DATE_EPOCH as its signing time, and is the same
# bytes when signed again; a signed file that is changed no longer verifies.
# qbdiag names, for each registered file, its version and who signed it, or
# that it is unsigned, or that it was changed after signing.
#
#   signing-test.sh BIN PRODUCT_WXI    (as package-tables-test.sh)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
sign=$top/tools/sign-files.sh
# shellcheck source=tools/wine-sandbox.sh
source "$top/tools/wine-sandbox.sh"
# shellcheck source=tests/release/package-support.sh
source "$here/package-support.sh"
bin=$(cd "$1" && pwd)
product=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/quillbar-signing.XXXXXX")
remove_work() { rm -rf "$work"; }
at_exit remove_work
cd "$work"

openssl req -x509 -newkey rsa:2048 -nodes -keyout root.key -out root.pem -days 2 \
    -subj "/CN=Quillbar Test Root" >/dev/null 2>&1
openssl req -x509 -newkey rsa:2048 -nodes -keyout other.key -out other.pem -days 2 \
    -subj "/CN=Another Root" >/dev/null 2>&1
openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr \
    -subj "/CN=Quillbar Test Signer" >/dev/null 2>&1
printf 'basicConstraints=CA:FALSE\nkeyUsage=digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext
openssl x509 -req -in signer.csr -CA root.pem -CAkey root.key -CAcreateserial -days 2 \
    -extfile signer.ext -out signer.pem >/dev/null 2>&1

build_test_packages "$bin" "$product" packages
mkdir first second
for file in "$bin/qbsetup.exe" "$bin/qbdiag.exe" "$bin/tlvshell.dll" packages/*.msi; do
    cp "$file" first/
    cp "$file" second/
done
cp "$bin/x64/tlvshell.dll" first/tlvshell64.dll
cp "$bin/x64/tlvshell.dll" second/tlvshell64.dll

! SOURCE_DATE_EPOCH= "$sign" --cert signer.pem --key signer.key first/qbsetup.exe 2>/dev/null ||
    fail "sign-files.sh signed without SOURCE_DATE_EPOCH"
cmp -s first/qbsetup.exe "$bin/qbsetup.exe" || fail "sign-files.sh changed a file it refused to sign"
SOURCE_DATE_EPOCH=1700000000 "$sign" --cert signer.pem --key signer.key first/*
SOURCE_DATE_EPOCH=1700000000 "$sign" --cert signer.pem --key signer.key second/*

count=0
for file in first/*; do
    name=${file#first/}
    osslsigncode verify -CAfile root.pem -in "$file" >verify.txt 2>&1 ||
        { cat verify.txt >&2; fail "$name does not verify against the root that issued its certificate"; }
    grep -q 'Signing time: Nov 14 22:13:20 2023 GMT' verify.txt ||
        fail "$name is not signed at SOURCE_DATE_EPOCH (Nov 14 22:13:20 2023 GMT)"
    grep -q 'Message digest algorithm *: SHA256' verify.txt || fail "$name's signature is not SHA-256"
    ! osslsigncode verify -CAfile other.pem -in "$file" >/dev/null 2>&1 ||
        fail "$name verifies against a root that did not issue its certificate"
    cmp -s "$file" "second/$name" || fail "$name signed twice gives different bytes"
    count=$((count + 1))
done
[ "$count" = 6 ] || fail "signed $count files, not the 4 binaries and 2 packages"

# One byte of the program's code changed after signing.
cp first/qbsetup.exe changed.exe
printf '\x90' | dd of=changed.exe bs=1 seek=2048 conv=notrunc status=none
! osslsigncode verify -CAfile root.pem -in changed.exe >/dev/null 2>&1 ||
    fail "a signed program changed after signing still verifies"
echo "$count files signed reproducibly at SOURCE_DATE_EPOCH, verified against their root only"

# qbdiag in a prefix of this test's own, where the shell extension's classes
# name signed, unsigned and changed libraries. One name in System32 is two
# files, as on 64-bit Windows: the signed 64-bit library for the 64-bit view,
# and for 32-bit processes SysWOW64's, the signed 32-bit one changed after
# signing; each view's file is judged as its loaders see it. (Windows does not
# trust this run's root and would call the signed files untrusted; Wine's
# WinVerifyTrust trusts any root.)
private_prefix
windows=$WINEPREFIX/drive_c/windows
cp first/tlvshell64.dll "$windows/system32/quillbar-test.dll"
cp first/tlvshell.dll "$windows/syswow64/quillbar-test.dll"
printf '\x90' | dd of="$windows/syswow64/quillbar-test.dll" bs=1 seek=2048 conv=notrunc status=none
menu='{E28C61E1-67D8-4005-9BF4-E232B2EB9012}'
folder='{D3E1ABFB-F269-4141-AB03-8E3BEF45AD4C}'
# register CLASS VIEW FILE: the class's InprocServer32 in that registry view
register() {
    /usr/lib/wine/wine64 reg add "HKCR\\CLSID\\$1\\InprocServer32" /ve /d "$3" "/reg:$2" /f \
        >/dev/null 2>&1 || fail "could not register $3 for $1 in the $2-bit view"
}
register "$menu" 32 'C:\windows\system32\quillbar-test.dll'
register "$menu" 64 'C:\windows\system32\quillbar-test.dll'
register "$folder" 32 "$(windows_path "$work/first/tlvshell.dll")"
register "$folder" 64 "$(windows_path "$bin/x64/tlvshell.dll")"
# The tuner's server: the signed program with the first byte of its
# signature changed (the certificate table's place is in the PE32 header's
# security directory; the signature follows the table entry's 8 bytes).
cp first/qbsetup.exe unreadable.exe
header=$(od -An -tu4 -j60 -N4 unreadable.exe | tr -d ' ')
table=$(od -An -tu4 -j$((header + 24 + 128)) -N4 unreadable.exe | tr -d ' ')
printf '\x00' | dd of=unreadable.exe bs=1 seek=$((table + 8)) conv=notrunc status=none
/usr/lib/wine/wine64 reg add 'HKCR\CLSID\{63DE7A54-FC93-4B76-BEE4-5C267FE84DBE}\LocalServer32' /ve \
    /d "$(windows_path "$work/unreadable.exe")" /reg:32 /f >/dev/null 2>&1 || fail "could not register the tuner"
# Through a file: the first program in a prefix starts Wine's services,
# which inherit its standard handles.
status=0
wine "$bin/qbdiag.exe" --json >qbdiag.json 2>&1 </dev/null || status=$?
[ "$status" = 1 ] || { cat qbdiag.json >&2; fail "qbdiag ended with $status, not 1 (problems found)"; }
# expect_finding ID SEVERITY TEXT CLASS VIEW [HINT]: that line of the report,
# whose source is the class's InprocServer32 in that view
expect_finding() {
    local line="{\"id\": \"$1\", \"severity\": \"$2\", \"text\": \"$3\", \"source\": \"HKCR\\\\CLSID\\\\$4\\\\InprocServer32 [(Standard)] ($5-Bit-Ansicht)\", \"hint\": \"${6:-}\"}"
    grep -qF "$line" qbdiag.json || { cat qbdiag.json >&2; fail "qbdiag did not report $line"; }
}
signed='signiert von \"Quillbar Test Signer\", Signatur gültig'
for entry in "menu32 $menu 32" "menu64 $menu 64" "folder32 $folder 32" "folder64 $folder 64"; do
    read -r name class view <<<"$entry"
    expect_finding "shell.$name.version" info 'Dateiversion 6.0.0.4' "$class" "$view"
done
expect_finding shell.menu32.signatureDamaged problem \
    'Signatur von \"Quillbar Test Signer\" beschädigt (0x80096010): die Datei wurde nach dem Signieren verändert' \
    "$menu" 32 'neu installieren, dann neu registrieren'
expect_finding shell.menu64.signed info "$signed" "$menu" 64
expect_finding shell.folder32.signed info "$signed" "$folder" 32
expect_finding shell.folder64.unsigned note 'nicht signiert' "$folder" 64
tuner='{"id": "tuner.server.signatureDamaged", "severity": "problem", "text": "Signatur beschädigt (0x800B0100): sie lässt sich nicht lesen", "source": "HKCR\\CLSID\\{63DE7A54-FC93-4B76-BEE4-5C267FE84DBE}\\LocalServer32 [(Standard)] (32-Bit-Ansicht)", "hint": "neu installieren, dann neu registrieren"}'
grep -qF "$tuner" qbdiag.json || { cat qbdiag.json >&2; fail "qbdiag did not report $tuner"; }
signatures=$(grep -c '"id": "shell\.[a-z0-9]*\.\(signed\|unsigned\|signature[A-Za-z]*\)"' qbdiag.json || true)
[ "$signatures" = 4 ] || { cat qbdiag.json >&2; fail "qbdiag reported $signatures signatures of the shell extension's files, not 4"; }
echo "qbdiag names the signer of each signed file, the unsigned one, and those changed after signing"
