# Sourced by tools/wine-sandbox.sh: 32-bit x86 programs on this machine.
#
# Wine runs 32-bit Windows programs through its 32-bit loader, a Linux i386
# program. Some kernels run no 32-bit x86 code at all (execve answers "Exec
# format error"); there qemu-i386, registered with binfmt_misc as the handler
# for i386 ELF files, runs that loader and with it every 32-bit program. A
# registered handler comes before the kernel's own ELF loader, so the same
# set-up also forces emulation on a machine that could run them natively.
#
#   ensure_i386_programs     finds out and, where the kernel runs none, sets
#                            up the emulation (as root; otherwise says how);
#                            QUILLBAR_I386=emulated forces it, and a handler
#                            registered for that is removed at the end; sets
#                            quillbar_i386_emulated where they run emulated
#   release_i386_emulation   removes the handler a forced run registered (or
#                            switches off again one it switched on)

quillbar_i386_handler_name=qemu-i386
# An ELF32 little-endian i386 executable or shared object (as Debian's own
# qemu-user registers it).
quillbar_i386_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
quillbar_i386_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
quillbar_binfmt=/proc/sys/fs/binfmt_misc
# The qemu that runs Wine's 32-bit loader: 7.2 (Debian 12's own) places
# mappings of its own where Wine must map its shared user data.
quillbar_qemu_major=10

# Writes a minimal i386 program that only exits with code 0. With
# "bypass", one byte of its ELF identification's padding is set: the
# kernel's loader ignores it, but no binfmt_misc handler matches it, so
# only the kernel itself can run it.
write_i386_probe() {
    local file=$1 pad='\x00'
    [ "${2:-}" = bypass ] && pad='\x01'
    # ELF header: class 32, little-endian, version 1, padding; executable,
    # i386, entry 0x08048054, one program header at 52.
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00'"$pad" >"$file"
    printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' >>"$file"
    printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00' >>"$file"
    # One loadable, executable segment: the whole file at 0x08048000.
    printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' >>"$file"
    printf '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' >>"$file"
    # mov eax, 1 (exit); xor ebx, ebx; int 0x80
    printf '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >>"$file"
    chmod +x "$file"
}

# Whether a 32-bit program starts: "bypass" asks the kernel alone.
i386_probe_runs() {
    local probe status
    probe=$(mktemp "${TMPDIR:-/tmp}/quillbar-i386-probe.XXXXXX") || return 1
    write_i386_probe "$probe" "${1:-}"
    "$probe" >/dev/null 2>&1
    status=$?
    rm -f "$probe"
    return $status
}

# The name of an enabled binfmt_misc handler that runs i386 programs under
# qemu, if there is one.
i386_emulation_handler() {
    local entry
    [ "$(cat "$quillbar_binfmt/status" 2>/dev/null)" = enabled ] || return 0
    for entry in "$quillbar_binfmt"/*; do
        case ${entry##*/} in register | status) continue ;; esac
        grep -qx enabled "$entry" 2>/dev/null || continue
        grep -q '^interpreter .*qemu-i386' "$entry" 2>/dev/null || continue
        echo "${entry##*/}"
        return 0
    done
}

qemu_i386_is_recent() {
    local version
    version=$(qemu-i386 --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\)\..*/\1/p')
    [ -n "$version" ] && ((version >= quillbar_qemu_major))
}

# The archive the main suite comes from, for its backports suite.
debian_archive() {
    local uri
    uri=$(apt-cache policy 2>/dev/null |
              awk '$3 ~ /^bookworm\/main$/ && $2 ~ /^https?:/ {print $2; exit}')
    echo "${uri:-http://deb.debian.org/debian}"
}

# The commands that set the emulation up, for the message to a user who is
# not root.
i386_emulation_commands() {
    cat <<EOF
  printf 'Types: deb\\nURIs: $(debian_archive)\\nSuites: bookworm-backports\\nComponents: main\\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\\n' >/etc/apt/sources.list.d/quillbar-backports.sources
  apt-get update && apt-get install -y -t bookworm-backports qemu-user
  [ -e $quillbar_binfmt/register ] || mount -t binfmt_misc binfmt_misc $quillbar_binfmt
  echo ':$quillbar_i386_handler_name:M::$quillbar_i386_magic:$quillbar_i386_mask:/usr/bin/qemu-i386:POCF' >$quillbar_binfmt/register
EOF
}

install_qemu_i386() {
    qemu_i386_is_recent && return 0
    local sources=/etc/apt/sources.list.d/quillbar-backports.sources
    if [ ! -f "$sources" ]; then
        printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
            "$(debian_archive)" >"$sources"
    fi
    # Only the backports index is fetched here; the others are as they were.
    DEBIAN_FRONTEND=noninteractive apt-get update -qq -o Dir::Etc::SourceList="$sources" \
        -o Dir::Etc::SourceParts=- -o APT::Get::List-Cleanup=0 || return 1
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -t bookworm-backports qemu-user >/dev/null || return 1
    qemu_i386_is_recent || { echo "qemu-i386 from bookworm-backports is older than $quillbar_qemu_major" >&2; return 1; }
}

register_i386_emulation() {
    if [ ! -e "$quillbar_binfmt/register" ]; then
        mount -t binfmt_misc binfmt_misc "$quillbar_binfmt" || return 1
    fi
    [ "$(cat "$quillbar_binfmt/status")" = enabled ] || echo 1 >"$quillbar_binfmt/status"
    # One of that name that was switched off is switched on again (and, if
    # this run is forced, off at its end).
    if [ -e "$quillbar_binfmt/$quillbar_i386_handler_name" ]; then
        echo 1 >"$quillbar_binfmt/$quillbar_i386_handler_name"
        quillbar_i386_release=0
        return
    fi
    quillbar_i386_release=-1
    # F: the kernel opens qemu-i386 now, so the handler works in a chroot too.
    echo ":$quillbar_i386_handler_name:M::$quillbar_i386_magic:$quillbar_i386_mask:$(command -v qemu-i386):POCF" \
        >"$quillbar_binfmt/register"
}

ensure_i386_programs() {
    local forced= native= handler
    case ${QUILLBAR_I386:-} in
        "") ;;
        emulated) forced=1 ;;
        *) echo "QUILLBAR_I386 is '$QUILLBAR_I386'; it may only be 'emulated' (or unset)" >&2; return 1 ;;
    esac
    i386_probe_runs bypass && native=1
    handler=$(i386_emulation_handler)
    if [ -z "$handler" ] && { [ -n "$forced" ] || [ -z "$native" ]; }; then
        if [ "$(id -u)" != 0 ]; then
            if [ -n "$native" ]; then
                echo "QUILLBAR_I386=emulated needs qemu-i386 registered for 32-bit programs; as root:" >&2
            else
                echo "this kernel runs no 32-bit x86 code, and 32-bit programs (Wine's among them) need qemu-i386 $quillbar_qemu_major or later registered for them; as root:" >&2
            fi
            i386_emulation_commands >&2
            return 1
        fi
        install_qemu_i386 && register_i386_emulation || {
            echo "could not set up qemu-i386 for 32-bit programs" >&2
            return 1
        }
        handler=$quillbar_i386_handler_name
        # A forced run leaves the machine as it found it.
        if [ -n "$native" ]; then
            quillbar_i386_registered=$handler
            at_exit release_i386_emulation
        fi
    fi
    if [ -n "$handler" ]; then
        quillbar_i386_emulated=1
        if [ -n "$native" ]; then
            echo "32-bit x86 programs run under qemu-i386 (binfmt_misc handler $handler), though this kernel runs them natively"
        else
            echo "this kernel runs no 32-bit x86 code: 32-bit programs run under qemu-i386"
        fi
    fi
    i386_probe_runs || { echo "32-bit x86 programs do not start on this machine" >&2; return 1; }
}

release_i386_emulation() {
    [ -n "${quillbar_i386_registered:-}" ] || return 0
    [ -e "$quillbar_binfmt/$quillbar_i386_registered" ] &&
        echo "${quillbar_i386_release:--1}" >"$quillbar_binfmt/$quillbar_i386_registered"
    quillbar_i386_registered=
}
