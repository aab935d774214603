#!/usr/bin/env bash
# The Linux program end to end, under Xvfb with real X11 input (xdotool):
#   linux.sh KVO2 KVO2_XCHECK
# The scenarios run in the order SCENARIOS names them (each is a function
# below); the environment varies them:
#   XVFB_ARGS="-extension GLX"  an X server without OpenGL, where the program
#                               must fall back to SDL's software renderer
#   SOAK=SECONDS                a soak: after the zoom checks, SECONDS of window
#                               operations, with flat memory and titles still coming
#   SCREEN_W, SCREEN_H          the screen's size (2700 x 2100)
#   MONITORS=1                  Xorg's dummy driver instead of Xvfb, for the
#                               monitors scenario (root only)
#   CPU_BOUND=PERCENT           the most of one core that the screen saver and
#                               the X server may take together; and the window
#                               must draw far more than a display's 60 frames
#                               a second (left out where the build is slowed
#                               down, as under the sanitizers)
set -uo pipefail
KVO2=$1 XCHECK=$2
. "$(dirname "$0")/lib.sh"
need Xvfb xdotool xwininfo xprop xdpyinfo xwd md5sum openbox "$KVO2" "$XCHECK"
# Under the sanitizer build: no leak report for the allocations of the
# system's D-Bus and GL libraries (the program ends from inside ShowFrame and
# frees nothing by hand), and a small quarantine, or every freed window-sized
# buffer would stay resident. Blocks that large go back to the system when
# freed, so resident memory follows the memory in use.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0:quarantine_size_mb=1"
export MALLOC_MMAP_THRESHOLD_=262144
SCREEN_W=${SCREEN_W:-2700} SCREEN_H=${SCREEN_H:-2100}
# shellcheck disable=SC2086
if [ -n "${MONITORS:-}" ]; then start_xorg; else start_xvfb ${XVFB_ARGS:-}; fi
if [[ ${XVFB_ARGS:-} == *GLX* ]]; then
    xdpyinfo -queryExtensions | grep -q GLX && fail "the X server still offers GLX"
    ok "X server without GLX"
fi

# geometry: "X Y W H" of the window's client area on the screen.
geometry() {
    xwininfo -id "$WINDOW" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
        /^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print x, y, w, h }'
}

# expect_geometry "X Y W H" WHAT: waits for the client area to be there (the
# size and the position change one after the other).
expect_geometry() {
    local want=$1
    within 3 eval '[ "$(geometry)" = "$want" ]' || fail "$2: window at $(geometry), want $want (x y w h)"
}

# expect_zoom N: a client area of N times the frame, centred on the screen.
expect_zoom() {
    local w=$((640 * $1)) h=$((480 * $1))
    expect_geometry "$(((SCREEN_W - w) / 2)) $(((SCREEN_H - h) / 2)) $w $h" "zoom $1"
    ok "zoom $1: client ${w}x$h, centred"
}

# framed NAME WINDOW X Y W H: once painted, the window shows the frame in
# that rectangle and black bars around it.
framed() { look "screenshot $1:" '[1-9]*' "$XCHECK" shot "$2" 32 "${@:3}"; }

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
    within 10 eval 'watch_title; [ "$TITLES" -gt 0 ]' || fail "title still \"Kvo\" after 10 s"
    [ "$LAST_TITLE_MS" -ge 2000 ] || fail "title changed at $LAST_TITLE_MS ms, before 2 s"
    ok "title \"Kvo\", then \"$TITLE\" at $LAST_TITLE_MS ms"
    if [ -n "${CPU_BOUND:-}" ]; then
        awk -v t="$TITLE" 'BEGIN { split(t, w, " "); exit !(w[2] > 72) }' ||
            fail "the window draws at the pace of a screen saver: \"$TITLE\""
        ok "the window is not paced"
    fi
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
        # Rounds of about a second and a half that end mapped, at zoom 1.
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
press 1
expect_zoom 1 >/dev/null
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

# Refusals, each with its exit status and one line on stderr: no display, no
# such window, options that are not there or do not go together.
scenario_refusals() {
    local env args want line status
    while IFS='|' read -r env args want line; do
        status=0
        # shellcheck disable=SC2086
        env $env "$KVO2" $args >/dev/null 2>"$WORK/stderr" || status=$?
        [ "$status" = "$want" ] && [ "$(wc -l <"$WORK/stderr")" = 1 ] && grep -q "^kvo2: $line" "$WORK/stderr" ||
            fail "kvo2 $args${env:+ with $env}: exit status $status, want $want; stderr: $(cat "$WORK/stderr")"
        ok "kvo2 $args${env:+ with $env}: exit status $want, \"$(cat "$WORK/stderr")\""
    done <<'CASES'
-u DISPLAY -u WAYLAND_DISPLAY||1|cannot open the window: ..*
|--window-id 0x1fffffff|1|cannot open the window: there is no X window 0x1fffffff$
XSCREENSAVER_WINDOW=0x1fffffff|--root|1|cannot open the window: there is no X window 0x1fffffff$
|--bogus|2|.*--bogus
|--window-id 12ab|2|--window-id: not an X window id
|--fullscreen --root|2|--fullscreen excludes --root
CASES
    [ "$("$KVO2" --help | grep -cE '^  (--fullscreen|--root|--window-id ID) ')" = 3 ] || fail "--help: $("$KVO2" --help)"
    ok "--help lists the options"
}

# Inside a window of another program, named by --window-id or, for --root, by
# XSCREENSAVER_WINDOW: the frame at 4:3 between black bars, following the
# window's size; its title left alone; SIGTERM ends the program with status 0.
scenario_inside() {
    local host option
    "$XCHECK" window 800 400 >"$WORK/host" &
    PIDS+=($!)
    within 5 test -s "$WORK/host"
    host=$(head -n1 "$WORK/host")
    for option in "--window-id $host" --root; do
        # shellcheck disable=SC2086
        XSCREENSAVER_WINDOW=$host spawn inside "$KVO2" $option
        framed "$option" "$host" 133 0 533 400
        xdotool windowsize "$host" 300 500
        framed "$option, resized" "$host" 0 137 300 225
        [ "$(xdotool getwindowname "$host")" = Host ] || fail "$option: the window's title changed"
        kill -TERM $PID
        wait_exit $PID 10 0 "$option, SIGTERM"
        xdotool windowsize "$host" 800 400
    done
}

# Full screen, under a window manager: F11 and Alt+Enter switch to the whole
# screen, the frame at 4:3 between black bars, and back to the window as it
# was; --fullscreen starts there.
scenario_fullscreen() {
    local wm before keys full="0 0 $SCREEN_W $SCREEN_H"
    openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    PIDS+=($wm)
    # The window manager up, then the window in its frame.
    within 10 eval "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"
    start fullscreen "$KVO2"
    within 10 eval 'xprop -id "$WINDOW" _NET_FRAME_EXTENTS | grep -q ='

    before=$(geometry)
    for keys in F11 alt+Return; do
        press $keys
        expect_geometry "$full" "$keys"
        framed "full screen, $keys" "$WINDOW" 0 37 2700 2025
        press $keys
        expect_geometry "$before" "$keys again"
        ok "$keys: full screen and back to the window at $before"
    done
    press Escape
    wait_exit $PID 10 0 Escape
    start fullscreen "$KVO2" --fullscreen
    expect_geometry "$full" --fullscreen
    press F11
    within 3 eval '[ "$(geometry | cut -d" " -f3-)" = "640 480" ]' || fail "--fullscreen, F11: window at $(geometry)"
    ok "--fullscreen, F11: back to a window of 640 x 480"
    press Escape
    wait_exit $PID 10 0 Escape
    kill $wm
}

# ticks PID...: the processor time of the processes, in clock ticks.
ticks() {
    local pid sum=0
    for pid in "$@"; do sum=$((sum + $(awk '{ print $14 + $15 }' "/proc/$pid/stat"))); done
    echo $sum
}

# A screen saver in the root window, --fps telling its rate: frames at the
# display's pace (60 a second, Xvfb telling none) and steady, a picture that
# moves and, with CPU_BOUND, the program and the X server within that share
# of one core over 10 s.
scenario_saver() {
    local a b t0 t1 share
    spawn saver "$KVO2" --root --fps >"$WORK/rates"
    within 10 test -s "$WORK/rates" || fail "--root --fps: no rate after 10 s; stderr: $(cat "$STDERR")"
    a=$(xwd -root -silent | md5sum) && sleep 0.3 && b=$(xwd -root -silent | md5sum)
    [ "$a" != "$b" ] || fail "--root: the picture does not move"
    ok "--root: the picture moves"
    t0=$(ticks $PID "$XVFB")
    sleep 10
    t1=$(ticks $PID "$XVFB")
    share=$(((t1 - t0) * 100 / $(getconf CLK_TCK) / 10))
    ok "--root with the X server: $share % of one core over 10 s"
    [ -z "${CPU_BOUND:-}" ] || [ "$share" -le "$CPU_BOUND" ] || fail "more than $CPU_BOUND % of one core"
    awk '!/^Kvo [0-9]+\.[0-9][0-9] fps$/ || $2 > 60.5 || $2 < 30 { bad = bad " \"" $0 "\"" }
         END { if (NR < 5 || bad) { print "rates:" bad " of " NR; exit 1 } }' "$WORK/rates" ||
        fail "--root --fps: not a steady rate of at most 60: $(tr '\n' ' ' <"$WORK/rates")"
    ok "--root --fps: $(tr '\n' ' ' <"$WORK/rates")"
    kill -TERM $PID
    wait_exit $PID 10 0 "--root, SIGTERM"
}

# Three monitors side by side, of different sizes, one of them portrait:
# --root draws the frame on each, centred in it between black bars, every
# monitor the same frame; and follows when one of them goes and another
# comes below the others.
scenario_monitors() {
    three_monitors
    spawn monitors "$KVO2" --root
    pictures 32 "${THREE[@]}"
    xrandr --output DUMMY2 --off
    monitor DUMMY3 1280x1024 --below DUMMY0
    pictures 32 "${THREE[@]:0:2}" "800 768 1280 1024 800 800 1280 960"
    kill -TERM $PID
    wait_exit $PID 10 0 "--root on three monitors, SIGTERM"
}

for scenario in ${SCENARIOS:-window close refusals inside fullscreen}; do "scenario_$scenario"; done
echo PASS
