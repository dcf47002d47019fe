#!/usr/bin/env bash
# Builds the two Windows Installer packages from Quillbar.wxs with wixl:
#
#   packaging/build-packages.sh PRODUCT_WXI FILES32 FILES64 OUT
#
#   PRODUCT_WXI  what the packages are: version, upgrade and product codes
#                (build/mingw/packaging/Product.wxi, made by CMake)
#   FILES32      the folder with the 32-bit qbsetup.exe, qbdiag.exe, tlvshell.dll
#   FILES64      the folder with the 64-bit tlvshell.dll
#   OUT          where quillbar-<version>-x86.msi and quillbar-<version>-x64.msi
#                go (replaced if they are there); their paths are printed
#
# Needs wixl and msitools (Debian's packages of those names).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
die() { echo "build-packages: $*" >&2; exit 1; }
[ $# -eq 4 ] || die "usage: build-packages.sh PRODUCT_WXI FILES32 FILES64 OUT"
product=$1 files32=$2 files64=$3 out=$4
[ -f "$product" ] || die "no $product (CMake makes it in the build's packaging folder)"
for file in "$files32/qbsetup.exe" "$files32/qbdiag.exe" "$files32/tlvshell.dll" "$files64/tlvshell.dll"; do
    [ -f "$file" ] || die "no $file"
done
command -v wixl >/dev/null && command -v msibuild >/dev/null ||
    die "wixl and msibuild are missing (apt-get install wixl msitools)"
version=$(sed -n 's/.*<?define ProductVersion = "\([^"]*\)".*/\1/p' "$product")
[ -n "$version" ] || die "$product names no ProductVersion"
# wixl converts the texts to the locale's code page before the one set below.
export LC_ALL=C.UTF-8

# wixl finds a file's Source only below the folder of the .wxs.
stage=$(mktemp -d "${TMPDIR:-/tmp}/quillbar-packages.XXXXXX")
trap 'rm -rf "$stage"' EXIT
cp "$here/Quillbar.wxs" "$stage/"
cp "$product" "$stage/Product.wxi"
ln -s "$(cd "$files32" && pwd)" "$stage/x86"
ln -s "$(cd "$files64" && pwd)" "$stage/x64"

# The file version in a PE file's version block (the VS_FIXEDFILEINFO after
# the UTF-16 key "VS_VERSION_INFO"), or nothing when it has none.
file_version() {
    local key ms ls
    key=$(LC_ALL=C grep -obUaP 'V\x00S\x00_\x00V\x00E\x00R\x00S\x00I\x00O\x00N\x00_\x00I\x00N\x00F\x00O\x00\x00\x00' "$1" |
              head -n 1 | cut -d: -f1)
    [ -n "$key" ] || return 0
    # The structure is 4-aligned and starts 6 bytes before its key: its value
    # (signature FEEF04BD, structure version, then the file version's two
    # halves) follows at the next 4-aligned offset after the key's 32 bytes.
    read -r signature _ ms ls < <(od -An -tu4 -j $((key + 34)) -N 16 "$1")
    ((signature == 0xFEEF04BD)) || return 0
    echo "$((ms >> 16)).$((ms & 0xFFFF)).$((ls >> 16)).$((ls & 0xFFFF))"
}

# What wixl 0.101 cannot write is set in its output with msibuild:
# - the database's code page, 1252: the German texts then read the same on
#   every Windows (wixl leaves it neutral, to be read in the system's);
# - rollback actions: the deferred actions named ...OnRollback get
#   msidbCustomActionTypeRollback (256), so that they run only when the
#   installation or removal fails after the step they follow;
# - the version of each file that has a version block, as WiX writes it, so
#   that Windows Installer treats it as a versioned file (an older copy
#   already in the folder is replaced); such files have no hash.
finish_package() {
    local msi=$1 queries=() action type id name source file version
    printf '\r\n\r\n1252\t_ForceCodepage\r\n' >"$stage/_ForceCodepage.idt"
    msibuild "$msi" -i "$stage/_ForceCodepage.idt"
    while IFS=$'\t' read -r action type _; do
        [[ $action == *OnRollback ]] || continue
        queries+=("UPDATE \`CustomAction\` SET \`Type\` = $((type | 256)) WHERE \`Action\` = '$action'")
    done < <(msiinfo export "$msi" CustomAction | tail -n +4)
    while IFS=$'\t' read -r id _ name _; do
        source=$(sed -n "s|.*<File Id=\"$id\" .*Source=\"\\([^\"]*\\)\".*|\\1|p" "$stage/Quillbar.wxs")
        [ -n "$source" ] || die "the package's file $id has no Source in Quillbar.wxs"
        version=$(file_version "$stage/$source")
        [ -n "$version" ] || continue
        queries+=("UPDATE \`File\` SET \`Version\` = '$version' WHERE \`File\` = '$id'"
                  "DELETE FROM \`MsiFileHash\` WHERE \`File_\` = '$id'")
    done < <(msiinfo export "$msi" File | tail -n +4)
    for query in "${queries[@]}"; do
        msibuild "$msi" -q "$query"
    done
}

mkdir -p "$out"
for platform in x86 x64; do
    msi=$out/quillbar-$version-$platform.msi
    rm -f "$msi"
    wixl --arch "$platform" --define "Platform=$platform" --output "$msi" "$stage/Quillbar.wxs" ||
        die "wixl could not build the $platform package"
    finish_package "$msi"
    echo "$msi"
done
