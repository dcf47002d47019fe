#!/usr/bin/env bash
# Says whether two releases made by tools/release.sh are the same, and which
# file differs where one does:
#
#   tools/compare-releases.sh RELEASE RELEASE
#
# Programs, libraries and symbol files must be the same bytes. A package is
# compared by its tables' rows, as sets, and by the files inside it: wixl
# writes rows in no fixed order and a new package code and time into every
# package, so two packages of the same files never have the same bytes (nor,
# signed, the same signature). SHA256SUMS is left out for the same reason.
# Exits 0 when the releases are the same, 1 when not.
set -euo pipefail

die() { echo "compare-releases: $*" >&2; exit 2; }
[ $# -eq 2 ] || die "usage: tools/compare-releases.sh RELEASE RELEASE"
a=$(cd "$1" && pwd) b=$(cd "$2" && pwd)
command -v msiinfo >/dev/null && command -v msiextract >/dev/null ||
    die "msiinfo and msiextract are missing (apt-get install msitools)"
work=$(mktemp -d "${TMPDIR:-/tmp}/quillbar-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT

files() { (cd "$1" && find . -type f ! -name SHA256SUMS | LC_ALL=C sort | sed 's|^\./||'); }
rows() { msiinfo export "$1" "$2" | tr -d '\r\0' | LC_ALL=C sort; }

differences=0
differs() { echo "DIFFERS  $1${2:+: $2}"; differences=$((differences + 1)); }
while read -r file; do
    [ -f "$a/$file" ] || { differs "$file" "only in $b"; continue; }
    [ -f "$b/$file" ] || { differs "$file" "only in $a"; continue; }
    case $file in
        *.msi)
            tables=$(msiinfo tables "$a/$file" | LC_ALL=C sort)
            [ "$tables" = "$(msiinfo tables "$b/$file" | LC_ALL=C sort)" ] ||
                { differs "$file" "not the same tables"; continue; }
            unlike=()
            for table in $tables; do
                [ "$table" = _SummaryInformation ] && continue
                [ "$(rows "$a/$file" "$table")" = "$(rows "$b/$file" "$table")" ] || unlike+=("$table")
            done
            rm -rf "$work/a" "$work/b"
            mkdir "$work/a" "$work/b"
            msiextract -C "$work/a" "$a/$file" >/dev/null
            msiextract -C "$work/b" "$b/$file" >/dev/null
            while read -r inside; do
                cmp -s "$work/a/$inside" "$work/b/$inside" || unlike+=("file $inside")
            done < <({ files "$work/a"; files "$work/b"; } | LC_ALL=C sort -u)
            if ((${#unlike[@]})); then
                differs "$file" "$(printf '%s, ' "${unlike[@]}" | sed 's/, $//')"
            else
                echo "same     $file (tables and files)"
            fi ;;
        *)
            if cmp -s "$a/$file" "$b/$file"; then echo "same     $file"; else differs "$file"; fi ;;
    esac
done < <({ files "$a"; files "$b"; } | LC_ALL=C sort -u)
if ((differences)); then
    echo "compare-releases: $differences files differ"
    exit 1
fi
echo "compare-releases: the releases are the same"
