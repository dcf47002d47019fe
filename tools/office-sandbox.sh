# Sourced by the demo and render scripts: a Wine prefix of its own (never the
# user's ~/.wine) with a simulated Office installation.
#
#   make_sandbox_prefix      creates $WINEPREFIX and a persistent wineserver
#   simulate_office          writes the keys qbsetup's host probes read
#   drop_sandbox_prefix      stops the server and deletes the prefix

export LC_ALL=C.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

make_sandbox_prefix() {
    WINEPREFIX=$(mktemp -d /tmp/quillbar-sandbox.XXXXXX)
    export WINEPREFIX
    wineboot -i >/dev/null 2>&1
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
