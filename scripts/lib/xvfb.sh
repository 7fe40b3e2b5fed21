# A private X server for the tests that drive real windows. Sourced, not run.

# zanfo_start_xvfb [LOG]: starts Xvfb on a free display, with its messages in LOG; sets
# ZANFO_XVFB_PID and exports DISPLAY once the display's number has arrived. Returns 1 when the
# server dies or gives no number within 30 s.
zanfo_start_xvfb() {
    local log=${1:-/dev/null} display_file tries=600
    display_file=$(mktemp)
    # -noreset: by default the server resets when its last client leaves, and a client that
    # connects during the reset is refused (the readiness probe is such a last client).
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$display_file" 2>"$log" &
    ZANFO_XVFB_PID=$!
    # The number arrives as a whole line.
    until [ -s "$display_file" ] && [ "$(tail -c 1 "$display_file")" = "" ]; do
        tries=$((tries - 1))
        if [ $tries -eq 0 ] || ! kill -0 "$ZANFO_XVFB_PID" 2>/dev/null; then
            rm -f "$display_file"
            return 1
        fi
        sleep 0.05
    done
    export DISPLAY=":$(head -n 1 "$display_file")"
    rm -f "$display_file"
}
