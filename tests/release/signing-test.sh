#!/usr/bin/env bash
# tools/sign-files.sh with a certificate made for this run (a root and a
# code-signing certificate it issued; no key is kept): every program,
# library and package it signs verifies against that root and not against
# another (the chain is checked here: Wine's WinVerifyTrust accepts any
# root), carries SOURCE_DATE_EPOCH as its signing time, and is the same
# bytes when signed again; a signed file that is changed no longer verifies.
#
#   signing-test.sh BIN PRODUCT_WXI    (as package-tables-test.sh)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
sign=$(cd "$here/../../tools" && pwd)/sign-files.sh
# shellcheck source=tests/release/package-support.sh
source "$here/package-support.sh"
bin=$(cd "$1" && pwd)
product=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/quillbar-signing.XXXXXX")
trap 'rm -rf "$work"' EXIT
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
