#!/usr/bin/env bash
# Makes a release of this checkout:
#
#   tools/release.sh OUT [--cert CERT.pem --key KEY.pem [--timestamp-url URL]]
#
# On a fresh Debian 12 machine (as root) it installs what it needs, as the
# test command does; builds the deliverables from this checkout in a build
# folder of its own (never build/), every time stamp the last commit's; and
# writes into OUT, which must be empty or not exist:
#
#   x86/qbsetup.exe, x86/qbdiag.exe, x86/tlvshell.dll   the 32-bit files
#   x64/tlvshell.dll                                    the 64-bit library
#   x86/*.debug, x64/*.debug      their symbol files, beside them (the files
#                                 name them in .gnu_debuglink); not packaged
#   quillbar-<version>-x86.msi    the package for 32-bit Windows
#   quillbar-<version>-x64.msi    the package for 64-bit Windows
#   SHA256SUMS                    over every other file in OUT
#
# With --cert and --key every program, library and package is signed
# (tools/sign-files.sh: Authenticode, SHA-256, signed at the last commit's
# time, with --timestamp-url also time-stamped by that server); without them
# the release is unsigned and says so. It prints what it wrote. Two releases
# of one commit are the same (tools/compare-releases.sh tells).
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
die() { echo "release: $*" >&2; exit 1; }
usage="usage: tools/release.sh OUT [--cert CERT.pem --key KEY.pem [--timestamp-url URL]]"
# A file named on the command line, as an absolute path (the build runs in
# the checkout's folder).
absolute() { [ -f "$1" ] || die "no $1"; echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
out= cert= key= timestamp_url=
while (($#)); do
    case $1 in
        --cert) (($# >= 2)) || die "--cert needs a file"; cert=$(absolute "$2"); shift 2 ;;
        --key) (($# >= 2)) || die "--key needs a file"; key=$(absolute "$2"); shift 2 ;;
        --timestamp-url) (($# >= 2)) || die "--timestamp-url needs a URL"; timestamp_url=$2; shift 2 ;;
        -*) die "unknown option $1; $usage" ;;
        *) [ -z "$out" ] || die "$usage"; out=$1; shift ;;
    esac
done
[ -n "$out" ] || die "$usage"
{ [ -n "$cert" ] && [ -n "$key" ]; } || [ -z "$cert$key$timestamp_url" ] ||
    die "--cert and --key go together, and --timestamp-url only with them"
sign=()
[ -z "$cert" ] || sign=(--cert "$cert" --key "$key")
[ -z "$timestamp_url" ] || sign+=(--timestamp-url "$timestamp_url")
if [ -e "$out" ] && [ -n "$(ls -A "$out")" ]; then
    die "$out is not empty: a release goes into an empty folder"
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)

cd "$top"
# shellcheck source=tools/wine-sandbox.sh
source "$top/tools/wine-sandbox.sh"
# The build needs Wine's type libraries of both bitnesses (stdole2.tlb), not
# Wine itself: no Windows program runs here.
ensure_packages cmake make mingw-w64 mingw-w64-tools libwine-dev wine wine64 wine32:i386 \
    git wixl msitools osslsigncode openssl

SOURCE_DATE_EPOCH=$(git log -1 --format=%ct) || die "this checkout has no commit to release"
export SOURCE_DATE_EPOCH
commit=$(git log -1 --format='%h %s')
[ -z "$(git status --porcelain)" ] ||
    echo "release: WARNING: the checkout has uncommitted changes; this release is not $commit alone" >&2

build=$(mktemp -d "${TMPDIR:-/tmp}/quillbar-release.XXXXXX")
remove_build() { rm -rf "$build"; }
at_exit remove_build
echo "release: building $commit in $build"
{ cmake --preset mingw -B "$build" -DBUILD_TESTING=OFF && cmake --build "$build" --parallel "$(nproc)"; } \
    >"$build/build.log" 2>&1 || { tail -n 40 "$build/build.log" >&2; die "the build failed"; }

mkdir "$out/x86" "$out/x64"
for name in qbsetup.exe qbdiag.exe tlvshell.dll; do
    cp "$build/bin/$name" "$build/bin/$name.debug" "$out/x86/"
done
cp "$build/bin/x64/tlvshell.dll" "$build/bin/x64/tlvshell.dll.debug" "$out/x64/"
binaries=("$out/x86/qbsetup.exe" "$out/x86/qbdiag.exe" "$out/x86/tlvshell.dll" "$out/x64/tlvshell.dll")

# The packages take the signed files; the symbol files stay outside them.
if ((${#sign[@]})); then
    "$top/tools/sign-files.sh" "${sign[@]}" "${binaries[@]}"
fi
mapfile -t packages < <("$top/packaging/build-packages.sh" "$build/packaging/Product.wxi" \
                            "$out/x86" "$out/x64" "$out")
((${#packages[@]} == 2)) || die "the packages were not built"
if ((${#sign[@]})); then
    "$top/tools/sign-files.sh" "${sign[@]}" "${packages[@]}"
fi

(cd "$out" && find . -type f ! -name SHA256SUMS | LC_ALL=C sort | sed 's|^\./||' | xargs sha256sum) \
    >"$out/SHA256SUMS"

echo "release: $commit, wrote $out:"
(cd "$out" && find . -type f | LC_ALL=C sort | sed 's|^\./||' |
     while read -r file; do printf '  %10d  %s\n' "$(stat -c %s "$file")" "$file"; done)
if [ -n "$cert" ]; then
    echo "release: signed by $(openssl x509 -noout -subject -in "$cert" | sed 's/^subject= *//')"
else
    echo "release: UNSIGNED (no --cert and --key given)"
fi
