#!/usr/bin/env bash
# Runs the README's test command on a fresh Debian 12 machine, as a new user
# would, without one: a minimal Debian 12 root made with debootstrap (kept
# for the next run and never changed), copied for each run, with a clean
# clone of the committed HEAD in /root/quillbar, run there as root. Our own
# machines keep whatever an earlier run installed; only here does a missing
# install step show before it reaches a user.
#
#   tools/fresh-machine.sh [--upgraded] [--lagging-i386] [--keep]
#       --upgraded  first "apt-get update" and "apt-get upgrade" in the root,
#                   as most users' machines are kept (the security versions of
#                   the amd64 libraries installed, before the test command)
#       --lagging-i386
#                   the root's apt takes only amd64 from the security archive,
#                   as where a mirror fails to serve its i386 index: the i386
#                   libraries then lag behind their amd64 twins, the case the
#                   test command's package fallback is for (with --upgraded,
#                   always)
#       --keep      leave the run's root in place (its path is printed)
#   QUILLBAR_I386=emulated is handed on to the test command; the kernel's
#   binfmt_misc handlers are shared with the root. QUILLBAR_FRESH_ROOTS names
#   where the roots live (default /var/tmp/quillbar-fresh).
#
# Needs root; installs debootstrap when it is missing.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
upgraded= lagging= keep=
for argument; do
    case $argument in
        --upgraded) upgraded=1 ;;
        --lagging-i386) lagging=1 ;;
        --keep) keep=1 ;;
        *) echo "usage: $0 [--upgraded] [--lagging-i386] [--keep]" >&2; exit 2 ;;
    esac
done
[ "$(id -u)" = 0 ] || { echo "fresh-machine: run as root (it makes and enters a Debian root)" >&2; exit 1; }

# shellcheck source=tools/wine-sandbox.sh
source "$top/tools/wine-sandbox.sh"
ensure_packages debootstrap

roots=${QUILLBAR_FRESH_ROOTS:-/var/tmp/quillbar-fresh}
pristine=$roots/debian12
mkdir -p "$roots"
started=$(date +%s)
seconds() { echo $(($(date +%s) - $1)); }

# Where this machine's apt finds a suite (the main archive, say), so that the
# root uses the same mirror.
archive_of() {
    apt-cache policy 2>/dev/null | awk -v suite="$1/main" '$3 == suite && $2 ~ /^https?:/ {print $2; exit}'
}

if [ ! -f "$pristine/.complete" ]; then
    rm -rf "$pristine"
    archive=$(archive_of bookworm)
    archive=${archive:-http://deb.debian.org/debian}
    echo "fresh-machine: making a minimal Debian 12 root in $pristine (from $archive)"
    debootstrap --variant=minbase bookworm "$pristine" "$archive" >"$roots/debootstrap.log" 2>&1 || {
        tail -n 20 "$roots/debootstrap.log" >&2
        exit 1
    }
    # The sources a Debian 12 installation has: the release, its updates and
    # the security archive.
    security=$(archive_of bookworm-security)
    rm -f "$pristine/etc/apt/sources.list"
    cat >"$pristine/etc/apt/sources.list.d/debian.sources" <<EOF
Types: deb
URIs: $archive
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: ${security:-http://deb.debian.org/debian-security}
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    touch "$pristine/.complete"
    echo "fresh-machine: root made in $(seconds "$started") s"
fi

root=$(mktemp -d "$roots/run.XXXXXX")
mounted=()
leave_root() {
    local point process
    # Whatever still runs inside (a wineserver, an Xvfb) ends with the root.
    for process in /proc/[0-9]*; do
        [ "$(readlink "$process/root" 2>/dev/null)" = "$root" ] && kill -9 "${process#/proc/}" 2>/dev/null
    done
    for ((point = ${#mounted[@]} - 1; point >= 0; point--)); do
        umount -R "${mounted[point]}" 2>/dev/null || umount -lR "${mounted[point]}" 2>/dev/null || true
    done
    # A handler the root's run registered for itself goes with the root.
    if [ -z "$handler_before" ] && [ -n "$(i386_emulation_handler)" ]; then
        echo -1 >"$quillbar_binfmt/$(i386_emulation_handler)"
    fi
    if [ -n "$keep" ]; then
        echo "fresh-machine: the root is kept in $root"
    else
        rm -rf --one-file-system "$root"
    fi
}
# binfmt_misc mounted here where it is not, so that a handler the root's run
# registers for itself is seen here and goes with the root.
if [ ! -e "$quillbar_binfmt/register" ]; then
    mount -t binfmt_misc binfmt_misc "$quillbar_binfmt" 2>/dev/null || true
fi
handler_before=$(i386_emulation_handler)
at_exit leave_root

cp -a "$pristine/." "$root/"
cp /etc/resolv.conf "$root/etc/resolv.conf"
if [ -n "$lagging" ]; then
    sed -i '/^Suites: bookworm-security$/a Architectures: amd64' "$root/etc/apt/sources.list.d/debian.sources"
    echo "fresh-machine: the root's apt takes no i386 index from the security archive"
fi
git clone -q --no-local "$top" "$root/root/quillbar"
echo "fresh-machine: $(git -C "$root/root/quillbar" log -1 --format='%h %s') in $root/root/quillbar"

# What Wine and Xvfb need of a running system; binfmt_misc as this machine
# has it (its handlers are the kernel's, shared with the root).
mount -t proc proc "$root/proc" && mounted+=("$root/proc")
mount -t sysfs sysfs "$root/sys" && mounted+=("$root/sys")
mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev" && mounted+=("$root/dev")
if [ -e "$quillbar_binfmt/register" ]; then
    mount -t binfmt_misc binfmt_misc "$root$quillbar_binfmt" && mounted+=("$root$quillbar_binfmt")
fi

in_root() {
    chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        ${QUILLBAR_I386:+QUILLBAR_I386=$QUILLBAR_I386} "$@"
}

if [ -n "$upgraded" ]; then
    step=$(date +%s)
    echo "fresh-machine: apt-get update and upgrade in the root"
    in_root sh -c 'apt-get update -qq; DEBIAN_FRONTEND=noninteractive apt-get upgrade -y -qq >/dev/null'
    echo "fresh-machine: upgraded in $(seconds "$step") s"
fi

step=$(date +%s)
status=0
in_root sh -c 'cd /root/quillbar && tools/run-tests.sh' || status=$?
echo "fresh-machine: the test command ended with $status after $(seconds "$step") s" \
    "(the whole run $(seconds "$started") s)"
exit $status
