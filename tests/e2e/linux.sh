#!/usr/bin/env bash
# The Linux program end to end, under Xvfb with real X11 input (xdotool):
#   linux.sh KVO2 KVO2_XCHECK
# The scenarios run in the order SCENARIOS names them (each is a function
# below); the environment varies them:
#   XVFB_ARGS="-extension GLX"  an X server without OpenGL, where the program
#                               must fall back to SDL's software renderer
#   SOAK=SECONDS                a soak: after the zoom checks, SECONDS of window
#                               operations, with flat memory and titles still coming
set -uo pipefail
KVO2=$1 XCHECK=$2
. "$(dirname "$0")/lib.sh"
need Xvfb xdotool xwininfo xprop xdpyinfo "$KVO2" "$XCHECK"
# Under the sanitizer build: no leak report for the allocations of the
# system's D-Bus and GL libraries (the program ends from inside ShowFrame and
# frees nothing by hand), and a small quarantine, or every freed window-sized
# buffer would stay resident. Blocks that large go back to the system when
# freed, so resident memory follows the memory in use.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0:quarantine_size_mb=1"
export MALLOC_MMAP_THRESHOLD_=262144
SCREEN_W=2700 SCREEN_H=2100
# shellcheck disable=SC2086
start_xvfb ${XVFB_ARGS:-}
if [[ ${XVFB_ARGS:-} == *GLX* ]]; then
    xdpyinfo -queryExtensions | grep -q GLX && fail "the X server still offers GLX"
    ok "X server without GLX"
fi

# geometry: "X Y W H" of the window's client area on the screen.
geometry() {
    xwininfo -id "$WINDOW" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
        /^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print x, y, w, h }'
}

# expect_zoom N: a client area of N times the frame, centred on the screen
# (the size and the position change one after the other).
expect_zoom() {
    local w=$((640 * $1)) h=$((480 * $1)) g want
    want="$(((SCREEN_W - w) / 2)) $(((SCREEN_H - h) / 2)) $w $h"
    for _ in $(seq 60); do
        g=$(geometry)
        [ "$g" = "$want" ] && break
        sleep 0.05
    done
    [ "$g" = "$want" ] || fail "zoom $1: window at $g, want $want (x y w h)"
    ok "zoom $1: client ${w}x$h, centred"
}

# press KEY...: real key presses (XTEST) to the window, with the focus.
press() {
    xdotool mousemove $((SCREEN_W / 2)) $((SCREEN_H / 2))
    xdotool windowfocus --sync "$WINDOW" 2>/dev/null
    xdotool key "$@"
}

# key KEY...: a key press to the window, which may be unmapped (soak).
key() { xdotool windowfocus "$WINDOW"; xdotool key "$@"; }

# The window: title, centring, icon, picture, zoom keys, [soak], Escape.
scenario_window() {
    local title g icon spot x y want got
    start window "$KVO2"
    title=$(xdotool getwindowname "$WINDOW")
    [ "$title" = Kvo ] || fail "first title \"$title\", want \"Kvo\""
    expect_zoom 1
    # The rate replaces the title with the first frame after two seconds.
    for _ in $(seq 200); do
        watch_title
        [ "$TITLES" -gt 0 ] && break
        sleep 0.05
    done
    [ "$TITLES" -gt 0 ] || fail "title still \"Kvo\" after 10 s"
    [ "$LAST_TITLE_MS" -ge 2000 ] || fail "title changed at $LAST_TITLE_MS ms, before 2 s"
    ok "title \"Kvo\", then \"$TITLE\" at $LAST_TITLE_MS ms"
    # The icon, 32 x 32. Spots X,Y=AARRGGBB: the border, the red, green, blue
    # and yellow squares, the light and dark grey lines.
    icon=$(xprop -id "$WINDOW" -notype -f _NET_WM_ICON 32c '=$0+' _NET_WM_ICON | tr -d ' ' | cut -d= -f2)
    IFS=, read -r -a icon <<<"$icon"
    [ "${icon[0]:-}x${icon[1]:-}" = 32x32 ] || fail "window icon ${icon[0]:-none}x${icon[1]:-none}, want 32x32"
    for spot in 0,0=FF000000 8,8=FFFF0000 22,8=FF00FF00 8,22=FF0000FF 22,22=FFFFFF00 1,15=FFC0C0C0 2,16=FF808080; do
        IFS=,= read -r x y want <<<"$spot"
        got=$(printf '%08X' "${icon[$((2 + y * 32 + x))]}")
        [ "$got" = "$want" ] || fail "icon pixel ($x, $y) $got, want $want"
    done
    ok "window icon 32x32 with the four squares"
    shot zoom1 32 "$WINDOW"
    press 2
    expect_zoom 2
    sleep 0.5   # the grown window gets its picture with the next frame
    shot zoom2 32 "$WINDOW"
    press 3 a space Return
    sleep 0.3
    g=$(geometry)
    [ "${g#* * }" = "1280 960" ] || fail "other keys changed the window to $g"
    ok "other keys leave the window alone"
    press 4
    expect_zoom 4
    press 1
    expect_zoom 1
    if [ -n "${SOAK:-}" ]; then
        # Rounds of about a second and a half that leave the window mapped.
        soak "$SOAK" 3 0.2 <<'STEPS'
key 2
key 4
xdotool windowsize "$WINDOW" 1 1
sleep 0.1
xdotool windowsize "$WINDOW" 320 1
xdotool windowsize "$WINDOW" 1 240
sleep 0.1
key 1
xdotool windowunmap "$WINDOW"
sleep 0.2
xdotool windowmap "$WINDOW"
xdotool windowminimize "$WINDOW"
sleep 0.2
xdotool windowmap "$WINDOW"
for x in 0 100 200 300 400 500 600; do xdotool mousemove --window "$WINDOW" "$x" $((x / 2)); done
key 4 1 2 1
sleep 0.1
STEPS
        key 1
        shot soak-end 32 "$WINDOW"
    fi
    press Escape
    wait_exit "$PID" 10 0 Escape
    [ ! -s "$STDERR" ] || fail "stderr: $(cat "$STDERR")"
}

# The window manager's close request.
scenario_close() {
    start close "$KVO2"
    "$XCHECK" close "$WINDOW" || fail "could not send WM_DELETE_WINDOW"
    wait_exit "$PID" 10 0 WM_DELETE_WINDOW
}

# No display, no window: status 1 and one line.
scenario_no_display() {
    local status=0
    env -u DISPLAY -u WAYLAND_DISPLAY "$KVO2" >/dev/null 2>"$WORK/stderr" || status=$?
    [ "$status" = 1 ] && [ "$(wc -l <"$WORK/stderr")" = 1 ] &&
        grep -q '^kvo2: cannot open the window: ..*' "$WORK/stderr" ||
        fail "without a display: exit status $status, want 1; stderr: $(cat "$WORK/stderr")"
    ok "without a display: exit status 1, \"$(cat "$WORK/stderr")\""
}

for scenario in ${SCENARIOS:-window close no_display}; do "scenario_$scenario"; done
echo PASS
