#!/usr/bin/env bash
# Signs Windows programs, libraries and Windows Installer packages in place
# with Authenticode (SHA-256, osslsigncode), for tools/release.sh:
#
#   tools/sign-files.sh --cert CERT.pem --key KEY.pem [--timestamp-url URL] FILE...
#
# CERT.pem holds the signing certificate and the chain up to (not
# necessarily including) its root; KEY.pem its private key (osslsigncode
# asks for the pass phrase of an encrypted one). The signing time is
# SOURCE_DATE_EPOCH, which must be set: the same files, certificate and time
# give the same signed bytes. With --timestamp-url each signature also gets
# an RFC 3161 time stamp from that server, which keeps it valid after the
# certificate expires, and which is the server's time, not reproducible.
set -euo pipefail

die() { echo "sign-files: $*" >&2; exit 1; }
cert= key= timestamp_url=
while (($#)); do
    case $1 in
        --cert) cert=${2:?--cert needs a file}; shift 2 ;;
        --key) key=${2:?--key needs a file}; shift 2 ;;
        --timestamp-url) timestamp_url=${2:?--timestamp-url needs a URL}; shift 2 ;;
        --) shift; break ;;
        -*) die "unknown option $1" ;;
        *) break ;;
    esac
done
[ -n "$cert" ] && [ -n "$key" ] || die "usage: sign-files.sh --cert CERT.pem --key KEY.pem [--timestamp-url URL] FILE..."
[ -f "$cert" ] || die "no certificate $cert"
[ -f "$key" ] || die "no key $key"
(($#)) || die "no files to sign"
[[ ${SOURCE_DATE_EPOCH:-} =~ ^[0-9]+$ ]] || die "SOURCE_DATE_EPOCH must be set to the signing time (seconds since 1970)"
command -v osslsigncode >/dev/null || die "osslsigncode is missing (apt-get install osslsigncode)"

options=(-certs "$cert" -key "$key" -h sha256 -n "TALVO 6 Quillbar-Tuner und Shell-Erweiterungen"
         -time "$SOURCE_DATE_EPOCH")
[ -n "$timestamp_url" ] && options+=(-ts "$timestamp_url")
for file in "$@"; do
    [ -f "$file" ] || die "no $file"
    # osslsigncode writes a new file and refuses to overwrite one.
    signed=$(mktemp "$file.signed.XXXXXX")
    rm -f "$signed"
    osslsigncode sign "${options[@]}" -in "$file" -out "$signed" >"$signed.log" 2>&1 ||
        { cat "$signed.log" >&2; rm -f "$signed" "$signed.log"; die "could not sign $file"; }
    rm -f "$signed.log"
    chmod --reference="$file" "$signed"
    mv "$signed" "$file"
done
