# Wine and a private X server for the Windows programs. Sourced after common.sh, not run.

# The test prefix under the build folder: made once (wineboot takes about 10 s), with the
# settings of tests/windows/wine-settings.reg.
zanfo_wine_prefix() {
    export WINEPREFIX="$ZANFO_ROOT/build/windows/wine-prefix" WINEDEBUG=-all
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

# A private Xvfb for the windows; its PID in ZANFO_XVFB_PID, its display in DISPLAY.
zanfo_start_xvfb() {
    local display_file
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
    ZANFO_XVFB_PID=$!
    local tries=200
    until [ -s "$display_file" ] && [ "$(tail -c 1 "$display_file")" = "" ]; do
        tries=$((tries - 1))
        if [ $tries -eq 0 ] || ! kill -0 "$ZANFO_XVFB_PID" 2>/dev/null; then
            echo "error: Xvfb did not start" >&2
            exit 1
        fi
        sleep 0.05
    done
    export DISPLAY=":$(head -n 1 "$display_file")"
    rm -f "$display_file"
}

# Ends what zanfo_start_xvfb and Wine started: this prefix's wineserver and the X server.
zanfo_stop_wine_and_xvfb() {
    wineserver -k 2>/dev/null || true
    [ -n "${ZANFO_XVFB_PID:-}" ] && kill "$ZANFO_XVFB_PID" 2>/dev/null
    wait 2>/dev/null || true
}
