# Sourced by the test command, the demo and the dialog renderer: a Wine
# prefix of their own (never the user's ~/.wine), optionally with a simulated
# Office installation.
#
#   ensure_packages P...     installs the Debian packages that are missing (as root)
#   make_sandbox_prefix [PROGRAM...]
#                            creates $WINEPREFIX and a persistent wineserver; the
#                            programs named get unmanaged windows (see there)
#   simulate_office          writes the keys qbsetup's host probes read
#   capture_setup_dialog Q O starts qbsetup.exe Q and saves its dialog as PNG O
#   drop_sandbox_prefix      stops the server and deletes the prefix
#
# Wine must see the (virtual) display from its first process on: a Wine
# desktop made without one stays without one.

export LC_ALL=C.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

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
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}" >/dev/null
}

make_sandbox_prefix() {
    WINEPREFIX=$(mktemp -d /tmp/quillbar-wine.XXXXXX)
    export WINEPREFIX
    # Wine's helper processes must not hold our output open: theirs goes elsewhere.
    wineboot -i >/dev/null 2>&1
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

# reg add, quietly.
sandbox_reg() {
    wine reg add "$@" /f >/dev/null 2>&1
}

# Office XP's Word, Excel, PowerPoint and Outlook, FrontPage 2002, each as
# installed and started once by this user.
simulate_office() {
    local host
    for host in Word Excel PowerPoint Outlook; do
        sandbox_reg "HKLM\\Software\\Microsoft\\Office\\10.0\\$host\\InstallRoot" /v Path /d 'C:\Programme\Microsoft Office\Office10\'
    done
    sandbox_reg 'HKCU\Software\Microsoft\Office\10.0\Word\Data'
    sandbox_reg 'HKCU\Software\Microsoft\Office\10.0\Excel\Options'
    sandbox_reg 'HKCU\Software\Microsoft\Office\10.0\PowerPoint\Options'
    sandbox_reg 'HKCU\Software\Microsoft\Office\10.0\Outlook' /v Settings /t REG_BINARY /d 00
    sandbox_reg 'HKCR\CLSID\{04DF1015-7007-11D1-83BC-006097ABE675}'
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
