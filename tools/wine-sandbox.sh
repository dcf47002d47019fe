# Sourced by the test command, the demo and the dialog renderer: a Wine
# prefix of their own (never the user's ~/.wine), optionally with a simulated
# Office installation.
#
#   ensure_packages P...     installs the Debian packages that are missing (as root;
#                            P:i386 adds the i386 architecture first)
#   ensure_wine_packages     Wine for 64-bit and 32-bit programs, as the prefix needs,
#                            and a way to run 32-bit programs (tools/i386-programs.sh)
#   at_exit ACTION           runs ACTION when the script ends (last added, first run)
#   make_sandbox_prefix [PROGRAM...]
#                            creates $WINEPREFIX, a 64-bit Windows that runs 32-bit
#                            programs too, and a persistent wineserver; the
#                            programs named get unmanaged windows (see there)
#   sandbox_reg32 ARGS...    reg add in the 32-bit registry view
#   simulate_office          writes what Office XP's 32-bit installer writes
#   capture_setup_dialog Q O starts qbsetup.exe Q and saves its dialog as PNG O
#   drop_sandbox_prefix      stops the server and deletes the prefix
#   make_sandbox_desktops N  N such prefixes, each with a display of its own,
#                            for a test run (see there)
#
# Wine must see the (virtual) display from its first process on: a Wine
# desktop made without one stays without one.

export LC_ALL=C.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

quillbar_exit_actions=()
at_exit() {
    quillbar_exit_actions=("$1" "${quillbar_exit_actions[@]}")
    trap 'for quillbar_action in "${quillbar_exit_actions[@]}"; do "$quillbar_action" || true; done' EXIT
}

# shellcheck source=tools/i386-programs.sh
source "$(dirname "${BASH_SOURCE[0]}")/i386-programs.sh"

ensure_packages() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    ((${#missing[@]})) || return 0
    if [ "$(id -u)" != 0 ]; then
        echo "missing packages: ${missing[*]} (run as root to install them)" >&2
        return 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    # A mirror in the middle of a sync fails one index or another for a
    # while: try again, then go on with what was fetched (the install itself
    # then says clearly what it could not find).
    local attempt
    for attempt in 1 2 3; do
        apt-get update -qq && break
        ((attempt < 3)) || { echo "apt-get update failed 3 times; going on with what it fetched" >&2; break; }
        echo "apt-get update failed (attempt $attempt); retrying" >&2
        sleep $((attempt * 5))
    done
    apt-get install -y -qq "${missing[@]}" >/dev/null && return 0
    [[ " ${missing[*]}" == *:i386* ]] || return 1
    echo "installing the i386 packages at the versions their amd64 twins can share" >&2
    apt-get install -y -qq --allow-downgrades "${missing[@]}" $(i386_version_pins "${missing[@]}") >/dev/null
}

# A library installed for both architectures must be at one version in both.
# When the mirror's i386 index lags behind its amd64 one (a security index it
# failed to fetch, say), apt finds no such pair and gives up. This names, for
# every shared library of the i386 packages' closure that amd64 has too
# (installed already, or brought in by the amd64 packages of the same
# install), the i386 index's version for both architectures, wherever amd64
# would have another; all from signed indexes, as apt checks them.
i386_version_pins() {
    local package version source sibling
    local -a wanted386=() wanted64=()
    for package; do
        case $package in *:i386) wanted386+=("$package") ;; *) wanted64+=("$package") ;; esac
    done
    ((${#wanted386[@]})) || return 0
    local depends=(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts
                   --no-breaks --no-replaces --no-enhances)
    local closure386 closure64
    closure386=$("${depends[@]}" "${wanted386[@]}" 2>/dev/null |
                     sed -n 's/^\([a-z0-9][^ ]*\):i386$/\1/p' | sort -u)
    closure64=$({
        ((${#wanted64[@]})) && "${depends[@]}" "${wanted64[@]}" 2>/dev/null | grep -E '^[a-z0-9][^ :]*$'
        dpkg-query -W -f='${db:Status-Status} ${Package}\n' 2>/dev/null | awk '$1 == "installed" {print $2}'
    } | sort -u)
    local shared
    shared=$(comm -12 <(echo "$closure386") <(echo "$closure64"))
    [ -n "$shared" ] || return 0
    # Of those, the libraries (Multi-Arch: same), with the i386 candidate and
    # what amd64 has or would take.
    local -A same=() candidate386=() amd64=()
    while read -r package; do
        same[$package]=1
    done < <(apt-cache show --no-all-versions $(sed 's/$/:i386/' <<<"$shared") 2>/dev/null |
                 awk '/^Package:/ {name = $2} /^Multi-Arch: same/ {print name}')
    while read -r package version; do
        candidate386[$package]=$version
    done < <(apt-cache policy $(sed 's/$/:i386/' <<<"$shared") 2>/dev/null |
                 awk '/^[^ ].*:$/ {name = $1; sub(/:i386:$/, "", name)}
                      /Candidate:/ && $2 != "(none)" {print name, $2}')
    # (apt may upgrade an installed library on the way: its candidate counts too)
    while read -r package version; do
        amd64[$package]="${amd64[$package]:-}$version "
    done < <(apt-cache policy $(sed 's/$/:amd64/' <<<"$shared") 2>/dev/null |
                 awk '/^[^ ].*:$/ {name = $1; sub(/(:amd64)?:$/, "", name)}
                      /(Installed|Candidate):/ && $2 != "(none)" {print name, $2}')
    local -A pinned=()
    for package in "${!same[@]}"; do
        version=${candidate386[$package]:-}
        [ -n "$version" ] || continue
        [ "${amd64[$package]:-}" = "$version " ] || [ "${amd64[$package]:-}" = "$version $version " ] && continue
        pinned[$package]=$version
        echo "$package:amd64=$version $package:i386=$version"
    done
    ((${#pinned[@]})) || return 0
    # Their installed siblings from the same source (libssl-dev beside
    # libssl3, say) follow to the same version, or apt would remove them.
    local -A sourceVersion=() siblings=()
    while read -r package source; do
        [ -n "${pinned[$package]:-}" ] && sourceVersion[$source]=${pinned[$package]}
    done < <(apt-cache show --no-all-versions "${!pinned[@]}" 2>/dev/null |
                 awk '/^Package:/ {name = $2; source = $2} /^Source:/ {source = $2} /^$/ && name {print name, source; name = ""}')
    while read -r sibling source version; do
        [ -n "${sourceVersion[$source]:-}" ] && [ -z "${pinned[$sibling]:-}" ] &&
            [ "$version" != "${sourceVersion[$source]}" ] && siblings[$sibling]=${sourceVersion[$source]}
    done < <(dpkg-query -W -f='${db:Status-Status} ${Package} ${source:Package} ${Version}\n' 2>/dev/null |
                 awk '$1 == "installed" {print $2, $3, $4}')
    ((${#siblings[@]})) || return 0
    while read -r sibling version; do
        [ "${siblings[$sibling]:-}" = "$version" ] && echo "$sibling=$version"
    done < <(apt-cache madison "${!siblings[@]}" 2>/dev/null | awk -F' *[|] *' '{print $1, $2}' |
                 sed 's/^ *//' | sort -u)
}

# Office 2000-2003 and the product are 32-bit programs on a 64-bit Windows:
# the prefix must run both kinds. Without wine32 it would silently be a
# 64-bit-only Windows where our 32-bit programs do not start at all.
ensure_wine_packages() {
    ensure_packages wine wine64 wine32:i386 fonts-wine "$@" && ensure_i386_programs
}

make_sandbox_prefix() {
    WINEPREFIX=$(mktemp -d /tmp/quillbar-wine.XXXXXX)
    export WINEPREFIX
    # Wine's helper processes must not hold our output open: theirs goes elsewhere.
    wineboot -i >/dev/null 2>&1
    if [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
        echo "the Wine prefix runs no 32-bit programs: install wine32:i386" \
            "(dpkg --add-architecture i386; apt-get install wine32:i386)" >&2
        return 1
    fi
    # Windows keeps its fonts in C:\windows\Fonts; this Wine finds its own
    # (fonts-wine: Marlett for the caption buttons, Tahoma, MS Sans Serif and
    # the other bitmap fonts) only there. Without them dialogs are drawn in a
    # wider stand-in font and caption buttons as the letters "0 1 r".
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    # Xvfb runs no window manager, and Wine waits two seconds for one whenever
    # a managed window (a message box, say) is hidden: programs that open and
    # close many windows get unmanaged ones, which Wine frames itself. (Before
    # the server restarts: no Wine process may outlive this step without the
    # virtual display.)
    local program
    for program in "$@"; do
        wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\X11 Driver" \
            /v Managed /d N /f >/dev/null 2>&1
    done
    wineserver -w
    wineserver -p >/dev/null 2>&1
}

drop_sandbox_prefix() {
    wineserver -k >/dev/null 2>&1 || true
    [ -n "${WINEPREFIX:-}" ] && rm -rf "$WINEPREFIX"
}

# reg add, quietly. A bare "wine reg" is the 32-bit tool when wine32 is
# installed and the 64-bit one when not, so the view is always named.
sandbox_reg() {
    wine reg add "$@" /reg:64 /f >/dev/null 2>&1
}
sandbox_reg32() {
    wine reg add "$@" /reg:32 /f >/dev/null 2>&1
}

# Office XP's Word, Excel, PowerPoint and Outlook, FrontPage 2002, each as
# installed by Office's 32-bit installer (HKLM and class keys in the 32-bit
# view) and started once by this user (HKCU, which both views share).
simulate_office() {
    local host
    for host in Word Excel PowerPoint Outlook; do
        sandbox_reg32 "HKLM\\Software\\Microsoft\\Office\\10.0\\$host\\InstallRoot" /v Path /d 'C:\Programme\Microsoft Office\Office10\'
    done
    sandbox_reg 'HKCU\Software\Microsoft\Office\10.0\Word\Data'
    sandbox_reg 'HKCU\Software\Microsoft\Office\10.0\Excel\Options'
    sandbox_reg 'HKCU\Software\Microsoft\Office\10.0\PowerPoint\Options'
    sandbox_reg 'HKCU\Software\Microsoft\Office\10.0\Outlook' /v Settings /t REG_BINARY /d 00
    sandbox_reg32 'HKCR\CLSID\{04DF1015-7007-11D1-83BC-006097ABE675}'
    sandbox_reg 'HKCU\Software\Microsoft\FrontPage\Editor\FrontPage Editor\Settings'
    sandbox_reg 'HKCU\Software\Microsoft\Office\10.0\FrontPage'
}

# The setup dialog as a user sees it (make the prefix with qbsetup.exe
# unmanaged, so that Wine draws its frame); the translator's dialog font is
# stood in for.
capture_setup_dialog() {
    local qbsetup=$1 out=$2 window=
    sandbox_reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v 'TALVO Helv WE' /d 'MS Sans Serif'
    mkdir -p "$(dirname "$out")"
    wine "$qbsetup" >/dev/null 2>&1 &
    local dialog=$!
    for _ in $(seq 150); do
        window=$(xwininfo -root -tree | grep '"Quillbar":' | head -n 1 | awk '{print $1}' || true)
        [ -n "$window" ] && break
        sleep 0.2
    done
    [ -n "$window" ] || { echo "the setup dialog did not appear" >&2; return 1; }
    sleep 2   # let it paint
    import -window "$window" "$out"
    kill "$dialog" 2>/dev/null || true   # as if the user cancelled
    wait "$dialog" 2>/dev/null || true
}

# Desktops for one test run: each a prefix of its own with a virtual display
# of its own (Wine's clipboard follows the X display's), so that tests that
# use what a desktop shares (the clipboard, the running-object table, the
# well-known Office ProgIDs, the whole registry) run beside each other, one
# per desktop. The prefixes are copies of one made by make_sandbox_prefix;
# with QUILLBAR_PREFIX_TEMPLATE set, that one is kept there for the next run.
#
#   make_sandbox_desktops COUNT [PROGRAM...]
#       exports QUILLBAR_DESKTOP_<i>="prefix :display" for i = 0 .. COUNT-1
#       (tools/wine-run picks the one CTest hands a test), WINEPREFIX and
#       DISPLAY as desktop 0's, and QUILLBAR_DESKTOP_RESOURCES, CTest's resource
#       file naming them: each desktop has two slots, a test that needs one
#       to itself takes both
#   drop_sandbox_desktops
make_sandbox_desktops() {
    local count=$1 stamp template=${QUILLBAR_PREFIX_TEMPLATE:-} i
    shift
    stamp="$(wine --version) $*"
    if [ -z "$template" ] || [ "$(cat "$template/.quillbar-stamp" 2>/dev/null)" != "$stamp" ]; then
        make_sandbox_prefix "$@"
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
        if [ -n "$template" ]; then
            rm -rf "$template"
            mkdir -p "$(dirname "$template")"
            mv "$WINEPREFIX" "$template"
            echo "$stamp" >"$template/.quillbar-stamp"
        else
            template=$WINEPREFIX
            QUILLBAR_TEMPORARY_TEMPLATE=$template
        fi
    fi
    QUILLBAR_DESKTOP_COUNT=$count
    QUILLBAR_XVFB_PIDS=()
    local prefix virtual_display slots=() prefixes=()
    for ((i = 0; i < count; i++)); do
        prefixes+=("$(mktemp -d /tmp/quillbar-wine.XXXXXX)")
        cp -a "$template/." "${prefixes[i]}/" &
    done
    wait
    for ((i = 0; i < count; i++)); do
        prefix=${prefixes[i]}
        [ -f "$prefix/system.reg" ] || { echo "could not copy the prefix to $prefix" >&2; return 1; }
        start_virtual_display || return 1
        export "QUILLBAR_DESKTOP_$i=$prefix :$virtual_display"
        WINEPREFIX=$prefix DISPLAY=:$virtual_display wineserver -p >/dev/null 2>&1
        slots+=("{\"id\": \"$i\", \"slots\": 2}")
    done
    export QUILLBAR_DESKTOP_COUNT
    WINEPREFIX=${QUILLBAR_DESKTOP_0% *}
    DISPLAY=${QUILLBAR_DESKTOP_0##* }
    export WINEPREFIX DISPLAY
    QUILLBAR_DESKTOP_RESOURCES=$(mktemp /tmp/quillbar-desktops.XXXXXX.json)
    local IFS=,
    printf '{"version": {"major": 1, "minor": 0}, "local": [{"desktop": [%s]}]}\n' \
        "${slots[*]}" >"$QUILLBAR_DESKTOP_RESOURCES"
    export QUILLBAR_DESKTOP_RESOURCES
}

# An Xvfb on the first free display number from 90 on, in virtual_display.
start_virtual_display() {
    local number pid
    for ((number = 90; number < 190; number++)); do
        [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp -ac >/dev/null 2>&1 &
        pid=$!
        for _ in $(seq 50); do
            [ -e "/tmp/.X11-unix/X$number" ] && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        # Another run may have taken the number at the same moment: the
        # display is ours only when the lock names our server.
        if [ -e "/tmp/.X11-unix/X$number" ] && kill -0 "$pid" 2>/dev/null &&
            [ "$(tr -d ' ' <"/tmp/.X$number-lock" 2>/dev/null)" = "$pid" ]; then
            QUILLBAR_XVFB_PIDS+=("$pid")
            virtual_display=$number
            return 0
        fi
        kill "$pid" 2>/dev/null || true
    done
    echo "no free X display for a virtual desktop" >&2
    return 1
}

drop_sandbox_desktops() {
    local i desktop
    for ((i = 0; i < ${QUILLBAR_DESKTOP_COUNT:-0}; i++)); do
        eval "desktop=\${QUILLBAR_DESKTOP_$i:-}"
        [ -n "$desktop" ] || continue
        WINEPREFIX=${desktop% *} wineserver -k >/dev/null 2>&1 || true
        rm -rf "${desktop% *}"
    done
    ((${#QUILLBAR_XVFB_PIDS[@]})) && kill "${QUILLBAR_XVFB_PIDS[@]}" 2>/dev/null
    [ -n "${QUILLBAR_TEMPORARY_TEMPLATE:-}" ] && rm -rf "$QUILLBAR_TEMPORARY_TEMPLATE"
    rm -f "${QUILLBAR_DESKTOP_RESOURCES:-}"
    return 0
}
