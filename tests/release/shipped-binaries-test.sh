#!/usr/bin/env bash
# The deliverables as this build made them, for a release:
#  - each carries the last commit's time as its PE time stamp, and so does
#    its symbol file; the type libraries inside carry that time too;
#  - each is stripped, and its .gnu_debuglink names its symbol file beside
#    it, with that file's CRC, and the symbol file has the debug information;
#  - neither names the folder the build ran in.
#
#   shipped-binaries-test.sh SOURCE BUILD BIN
#       the checkout, the build tree, its binaries (the 64-bit ones in BIN/x64)
set -euo pipefail

source=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
bin=$(cd "$3" && pwd)
fail() { echo "FAILED: $*" >&2; exit 1; }
# The build's own rule: SOURCE_DATE_EPOCH where it is set, else the commit.
commit_time=${SOURCE_DATE_EPOCH:-$(git -C "$source" log -1 --format=%ct)}
# ctime's form, as widl writes it
widl_time=$(LC_ALL=C TZ=UTC date -d "@$commit_time" '+%a %b %e %H:%M:%S %Y')

pe_time_stamp() {
    local header
    header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    od -An -tu4 -j$((header + 8)) -N4 "$1" | tr -d ' '
}
# The CRC-32 of a file as .gnu_debuglink holds it (gzip's, little-endian).
crc32() { gzip -c <"$1" | tail -c 8 | head -c 4 | od -An -tx1 | tr -d ' \n'; }

checked=0
for entry in qbsetup.exe:i686:tlb qbdiag.exe:i686: tlvshell.dll:i686:tlb x64/tlvshell.dll:x86_64:tlb; do
    IFS=: read -r name machine tlb <<<"$entry"
    file=$bin/$name symbols=$bin/$name.debug
    objdump=$machine-w64-mingw32-objdump
    [ -f "$file" ] && [ -f "$symbols" ] || fail "no $file or no $symbols"
    [ "$(pe_time_stamp "$file")" = "$commit_time" ] ||
        fail "$name has the time stamp $(pe_time_stamp "$file"), not the last commit's ($commit_time)"
    [ "$(pe_time_stamp "$symbols")" = "$commit_time" ] ||
        fail "$name.debug has the time stamp $(pe_time_stamp "$symbols"), not the last commit's ($commit_time)"
    if [ -n "$tlb" ]; then
        LC_ALL=C grep -qaF "Created by WIDL version 7.0 at $widl_time" "$file" ||
            fail "the type library in $name does not carry the commit's time ($widl_time)"
    fi
    sections=$("$objdump" -h "$file")
    ! grep -q ' \.debug_' <<<"$sections" || fail "$name still has debug sections"
    "$objdump" -h "$symbols" | grep -q ' \.debug_info ' || fail "$name.debug has no debug information"
    # .gnu_debuglink: the file name, zero padding to 4, the CRC-32.
    # (objdump -s: the address, then four groups of 8 hex digits in 35 columns)
    link=$("$objdump" -s -j .gnu_debuglink "$file" | sed -n 's/^ [0-9a-f]\{1,16\} \(.\{35\}\).*/\1/p' |
               tr -d ' \n')
    [ -n "$link" ] || fail "$name has no .gnu_debuglink"
    expected_name=$(printf '%s' "${name##*/}.debug" | od -An -tx1 | tr -d ' \n')
    [[ $link == "$expected_name"00* ]] || fail "$name's .gnu_debuglink does not name ${name##*/}.debug"
    [ "${link: -8}" = "$(crc32 "$symbols")" ] ||
        fail "$name's .gnu_debuglink holds CRC ${link: -8}, $name.debug has $(crc32 "$symbols")"
    for folder in "$source" "$build"; do
        ! LC_ALL=C grep -qaF "$folder" "$file" "$symbols" || fail "$name or its symbols name $folder"
    done
    checked=$((checked + 1))
done
echo "$checked deliverables: stamped with the commit's time, stripped, linked to their symbols, no build folder"
