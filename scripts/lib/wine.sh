# Wine and a private X server for the Windows programs. Sourced after common.sh, not run.
source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"

# zanfo_wine_prefix [FOLDER]: the test prefix, by default under the build folder: made once
# (wineboot takes about 10 s), with the settings of tests/windows/wine-settings.reg. Wine makes
# no menu entries on this machine for what is installed in it.
zanfo_wine_prefix() {
    export WINEPREFIX="${1:-$ZANFO_ROOT/build/windows/wine-prefix}" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d"
    local settings="$ZANFO_ROOT/tests/windows/wine-settings.reg" stamp="$WINEPREFIX/.zanfo-settings"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1
    fi
    if ! cmp -s "$settings" "$stamp"; then
        # regedit reads UTF-16 files; Chinese names need it.
        iconv -f UTF-8 -t UTF-16 "$settings" >"$WINEPREFIX/drive_c/zanfo-settings.reg"
        wine regedit /S 'C:\zanfo-settings.reg'
        wineserver -w
        cp "$settings" "$stamp"
    fi
}

# Ends what zanfo_start_xvfb and Wine started: this prefix's wineserver and the X server.
zanfo_stop_wine_and_xvfb() {
    wineserver -k 2>/dev/null || true
    [ -n "${ZANFO_XVFB_PID:-}" ] && kill "$ZANFO_XVFB_PID" 2>/dev/null
    wait 2>/dev/null || true
}
