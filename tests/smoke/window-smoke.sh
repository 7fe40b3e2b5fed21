#!/usr/bin/env bash
# The real program on a real X server: a private Xvfb, and xdotool moving the real pointer and
# typing. The window must appear with its exact title; the link and Query must hand their URLs,
# once each, to the xdg-open found first on PATH (a recording one here); a file chosen through
# 浏览文件 must give Query the search page of its digest; About must open and close; 退 出 must
# end the program with status 0. (The flow tests click 停止 and the rest at their centres.)
#   window-smoke.sh PATH/TO/zanfo-md5                   the Qt window, on the xcb platform
#   window-smoke.sh --wine PATH/TO/zanfo-md5.exe        the Win32 window under Wine (WINEPREFIX
#                                                       set up by the caller)
#   window-smoke.sh --screenshots FOLDER [--wine] ...   the same, saving pictures of the windows on
#                                                       the way (needs xwd and netpbm)
#   window-smoke.sh --wine --probe PATH/TO/window-probe.exe ...   another process also sends the
#                                                       window messages it must shrug off
# Exits 77 (skipped) where no X server can be started.
set -uo pipefail
# The titles are Chinese: xdotool matches them, and Wine hands them to X, as UTF-8 only.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

wine="" shots="" probe=""
while [ $# -gt 1 ]; do
    case $1 in
        --wine) wine=wine; shift ;;
        --probe) probe=$2; shift 2 ;;
        --screenshots) shots=$2; shift 2 ;;
        *) break ;;
    esac
done
program=$1
title='Zanfo文件诊所MD5值计算工具1.1beta'
about_title='关于MD5值计算工具'
for tool in Xvfb xdotool xclip; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (packages xvfb, xdotool, xclip)"; exit 77; }
done

work=$(mktemp -d)
xvfb_pid="" app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    sed 's/^/  app: /' "$work/app.log"
    sed 's/^/  xvfb: /' "$work/xvfb.log"
    kill -0 "$xvfb_pid" 2>/dev/null && echo "  xvfb: still running on $DISPLAY" || echo "  xvfb: gone"
    exit 1
}

# Polls a condition every 50 ms for up to 30 s, or SECONDS.
wait_for() {  # CONDITION [SECONDS]
    local tries=$((${2:-30} * 20))
    until eval "$1"; do
        tries=$((tries - 1))
        [ $tries -gt 0 ] || return 1
        sleep 0.05
    done
}

source "$(dirname "$0")/../../scripts/lib/xvfb.sh"
zanfo_start_xvfb "$work/xvfb.log"
started=$?
xvfb_pid=$ZANFO_XVFB_PID
[ $started -eq 0 ] || { echo "SKIP: Xvfb did not start: $(cat "$work/xvfb.log")"; exit 77; }
# The server is ready once a client can talk to it.
wait_for 'xdotool getmouselocation >/dev/null 2>&1' || { echo "SKIP: Xvfb does not answer on $DISPLAY"; exit 77; }

mkdir -p "$work/bin"
cat >"$work/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$*" >>"$work/opened"
EOF
chmod +x "$work/bin/xdg-open"

# A file and an option on the command line, which the program must ignore: Query below still
# opens the start page.
printf abc >"$work/chosen.txt"
PATH="$work/bin:$PATH" QT_QPA_PLATFORM=xcb $wine "$program" "$work/chosen.txt" --lower >"$work/app.log" 2>&1 &
app_pid=$!
# With no window manager, Wine draws the frame itself, inside the X window: 3 pixels around
# and a 19-pixel caption at 96 dpi. A Qt window is its client area.
frame=0 caption=0
[ -n "$wine" ] && frame=3 caption=19

find_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
wait_for '[ -n "$(find_window "$title")" ]' || fail "no window titled $title"
window=$(find_window "$title")
eval "$(xdotool getwindowgeometry --shell "$window")"

# With --screenshots, saves a window as the X server shows it, once it has had time to paint.
snap() {  # WINDOW NAME
    [ -n "$shots" ] || return 0
    sleep 1
    xwd -silent -id "$1" | xwdtopnm 2>/dev/null | pnmtopng >"$shots/$2.png" || fail "could not save $2.png"
    echo "wrote $shots/$2.png"
}
snap "$window" main-dialog

# Dialog units to pixels from the window's own size: the main dialog is 274 x 280 units.
main_width=$WIDTH main_height=$HEIGHT
click_units() {  # WINDOW WIDTH_UNITS HEIGHT_UNITS WINDOW_WIDTH WINDOW_HEIGHT X Y
    local width=$(($4 - 2 * frame)) height=$(($5 - 2 * frame - caption))
    xdotool mousemove --window "$1" $((frame + $6 * width / $2)) $((frame + caption + $7 * height / $3)) click 1
}
click_main() { click_units "$window" 274 280 "$main_width" "$main_height" "$1" "$2"; }
opened_count() { [ -f "$work/opened" ] && wc -l <"$work/opened" || echo 0; }

click_main 34 250    # the link, inside its text
wait_for '[ "$(opened_count)" -eq 1 ]' || fail "the link opened nothing"
click_main 229 72    # 查询MD5值
wait_for '[ "$(opened_count)" -eq 2 ]' || fail "Query opened nothing"
expected=$'http://www.zanfo.com/\nhttp://www.zanfo.com/'
[ "$(cat "$work/opened")" = "$expected" ] || fail "opened (the command line is ignored): $(cat "$work/opened")"

# About opens and 确定 closes it. A click that comes while a modal window is still going away
# can be lost; About is clicked again until it shows (a second click cannot open a second box,
# the first one disables the window), so that afterwards the window is known to take clicks.
about_and_back() {
    local try
    for try in 1 2 3; do
        click_main 185 251   # 关 于
        wait_for '[ -n "$(find_window "$about_title")" ]' 5 && break
    done
    local about
    about=$(find_window "$about_title")
    [ -n "$about" ] || fail "About did not open"
    # Under Wine another process's WM_CLOSE waits, as the disabled window's clicks do.
    if [ -n "$probe" ]; then
        wine "$probe" close "$title"
        [ -n "$(find_window "$about_title")" ] && [ -n "$(find_window "$title")" ] || fail "a WM_CLOSE from outside closed the window under About"
    fi
    eval "$(xdotool getwindowgeometry --shell "$about")"
    snap "$about" about-box
    click_units "$about" 235 77 "$WIDTH" "$HEIGHT" 194 54   # 确定
    wait_for '[ -z "$(find_window "$about_title")" ]' || fail "About did not close"
}

# Types a path into the file chooser that 浏览文件 opens, then makes sure the window takes
# clicks again.
browse() {
    local path=$1
    [ -n "$wine" ] && path="Z:${path//\//\\}"
    click_main 230 52    # 浏览文件
    wait_for '[ -n "$(find_window "$chooser")" ]' || fail "浏览文件 opened no file chooser"
    # Keys go to the window with the keyboard focus: type only once the chooser has it (a slow
    # build, under a sanitizer, shows the window well before it takes the focus).
    local chooser_window
    chooser_window=$(find_window "$chooser")
    local has_focus='[ "$(xdotool getwindowfocus 2>/dev/null)" = "$chooser_window" ]'
    if [ -n "$wine" ] && ! wait_for "$has_focus" 5; then
        # On a busy machine Wine may leave the X focus on the dialog below: with no window
        # manager to hand it over, the test does what one would.
        xdotool windowfocus "$chooser_window"
    fi
    wait_for "$has_focus" || fail "the file chooser ($chooser_window) never took the keyboard focus (on $(xdotool getwindowfocus 2>&1))"
    # A busy machine may lose keys: the field is read back through the clipboard and typed
    # again until it holds the whole path.
    local attempt
    for attempt in 1 2 3; do
        xdotool key ctrl+a
        xdotool type --delay 10 "$path"
        xdotool key ctrl+a ctrl+c
        [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$path" ] && break
    done
    xdotool key Return
    wait_for '[ -z "$(find_window "$chooser")" ]' || fail "the file chooser did not take the typed path"
    about_and_back
}
chooser='(Open|打开)'
browse "$work/chosen.txt"
click_main 229 72    # 查询MD5值, now with the digest of "abc"
wait_for '[ "$(opened_count)" -eq 3 ]' || fail "Query after 浏览文件 opened nothing"
search='http://www.zanfo.com/Search/FileSearch.aspx?SearchValue=900150983CD24FB0D6963F7D28E17F72&FileSearch=0&SearchType=1'
[ "$(tail -n 1 "$work/opened")" = "$search" ] || fail "Query after 浏览文件 opened: $(tail -n 1 "$work/opened")"

if [ -n "$shots" ]; then
    # A program with every detail. (ASCII names: xdotool may drop the first Chinese character it
    # types.)
    browse "$(cd "$(dirname "$0")" && pwd)/sample-program.exe"
    snap "$window" finished-result
fi
# A large file runs on the worker; under Wine another process's messages (a wake with no call
# waiting, a progress of 100) change nothing; 停止 ends the run.
truncate -s 16G "$work/large-file.iso"
browse "$work/large-file.iso"
snap "$window" worker-run
if [ -n "$probe" ]; then
    wine "$probe" poke "$title" || fail "another process's messages changed the run (probe status $?)"
fi
click_main 180 94    # 停止

click_main 234 251   # 退 出
wait_for '! kill -0 "$app_pid" 2>/dev/null' || fail "退 出 did not end the program"
wait "$app_pid"
status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "exit status $status"
[ "$(opened_count)" -eq 3 ] || fail "URLs were opened more than once: $(cat "$work/opened")"
echo "PASS: window, link, Query, 浏览文件, About and 退 出 answer the real pointer and keyboard"
