#!/usr/bin/env bash
# The Linux program end to end, under Xvfb with real X11 input (xdotool): linux.sh KVO2
# KVO2_XCHECK runs the scenarios (functions below) that SCENARIOS names, varied by:
#   XVFB_ARGS="-extension GLX"  no OpenGL: SDL's software renderer must do
#   SOAK=SECONDS        after the zooms, SECONDS of window operations
#   SCREEN_W, SCREEN_H  the screen's size (2700 x 2100)
#   MONITORS=1          Xorg's dummy driver, for the monitors scenario (root)
#   CPU_BOUND=PERCENT   the most of a core the saver and the X server may take; the window unpaced
set -uo pipefail
KVO2=$1 XCHECK=$2
. "$(dirname "$0")/lib.sh"
need Xvfb xdotool xwininfo xprop xdpyinfo xwd md5sum openbox "$KVO2" "$XCHECK"
# Sanitizers: no leak report for the system's D-Bus and GL libraries; resident
# memory follows the memory in use (small quarantine, large blocks unmapped).
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

# expect_geometry "X Y W H" WHAT: waits for the client area to be there.
expect_geometry() {
    local want=$1
    within 10 eval '[ "$(geometry)" = "$want" ]' || fail "$2: window at $(geometry), want $want (x y w h)"
}

# zoom N [KEY...]: after the keys, a client area of N times the frame, centred
# (said unless QUIET).
zoom() {
    local w=$((640 * $1)) h=$((480 * $1))
    [ $# = 1 ] || press "${@:2}"
    expect_geometry "$(((SCREEN_W - w) / 2)) $(((SCREEN_H - h) / 2)) $w $h" "zoom $1"
    [ -n "${QUIET:-}" ] || ok "zoom $1: client ${w}x$h, centred"
}

# The window: title, centring, icon, picture, zoom keys, [soak], Escape.
scenario_window() {
    local icon spot x y want got
    start window "$KVO2"
    first_titles
    zoom 1
    # Not paced: a rate after the first (which counts the start) above 60 Hz, unless
    # the machine is too busy to tell (a job a processor or more: there 30 to 50 fps).
    if [ -n "${CPU_BOUND:-}" ]; then
        next_titles 3
        read -r load _ </proc/loadavg
        printf '%s\n' "${RATES[@]}" | awk -v l="$load" -v n="$(nproc)" '$1 > 72 { f = 1 } END { exit !f && l < n }' ||
            fail "the window draws at the pace of a screen saver: ${RATES[*]}"
        ok "not paced: ${RATES[*]}; load $load on $(nproc) processors"
    fi
    # The icon, 32 x 32. Spots X,Y=AARRGGBB: the border, the red, green, blue
    # and yellow squares, the light and dark grey lines.
    IFS=, read -r -a icon < <(xprop -id "$WINDOW" -notype -f _NET_WM_ICON 32c '=$0+' _NET_WM_ICON | tr -d ' ' | cut -d= -f2)
    [ "${icon[0]:-}x${icon[1]:-}" = 32x32 ] || fail "window icon ${icon[0]:-none}x${icon[1]:-none}, want 32x32"
    for spot in 0,0=FF000000 8,8=FFFF0000 22,8=FF00FF00 8,22=FF0000FF 22,22=FFFFFF00 1,15=FFC0C0C0 2,16=FF808080; do
        IFS=,= read -r x y want <<<"$spot"
        got=$(printf '%08X' "${icon[$((2 + y * 32 + x))]}")
        [ "$got" = "$want" ] || fail "icon pixel ($x, $y) $got, want $want"
    done
    ok "window icon 32x32 with the four squares"
    shot zoom1 "$WINDOW"
    zoom 2 2
    # The grown window gets its picture with the next frame.
    RETRY='[13]' shot zoom2 "$WINDOW"
    press 3 a space Return
    next_titles 2
    QUIET=1 zoom 2
    ok "other keys leave the window alone"
    zoom 4 4
    zoom 1 1
    if [ -n "${SOAK:-}" ]; then
        # Rounds of about a second and a half that end mapped, at zoom 1.
        soak "$SOAK" 3 0.2 <<'STEPS'
press 2
press 4
xdotool windowsize "$WINDOW" 1 1; sleep 0.1
xdotool windowsize "$WINDOW" 320 1
xdotool windowsize "$WINDOW" 1 240; sleep 0.1
press 1
xdotool windowunmap "$WINDOW"; sleep 0.2
xdotool windowmap "$WINDOW"
xdotool windowminimize "$WINDOW"; sleep 0.2
xdotool windowmap "$WINDOW"
for x in 0 100 200 300 400 500 600; do xdotool mousemove --window "$WINDOW" "$x" $((x / 2)); done
press 4 1 2 1
QUIET=1 zoom 1 1
STEPS
        press 1
        shot soak-end "$WINDOW"
    fi
    ends Escape press Escape
    [ ! -s "$STDERR" ] || fail "stderr: $(cat "$STDERR")"
}

# The window manager's close request.
scenario_close() {
    start close "$KVO2"
    ends WM_DELETE_WINDOW "$XCHECK" close "$WINDOW"
}

# Refusals, each an exit status and one line on stderr: no display, no such
# window, options unknown or at odds.
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

# In another program's window (--window-id; --root and XSCREENSAVER_WINDOW):
# the frame between black bars, following its size; its title left alone.
scenario_inside() {
    local host option
    "$XCHECK" window 800 400 >"$WORK/host" &
    PIDS+=($!)
    within 5 test -s "$WORK/host"
    host=$(head -n1 "$WORK/host")
    for option in "--window-id $host" --root; do
        # shellcheck disable=SC2086
        XSCREENSAVER_WINDOW=$host spawn inside "$KVO2" $option
        RETRY='[1-9]*' shot "$option" "$host" 133 0 533 400
        xdotool windowsize "$host" 300 500
        RETRY='[1-9]*' shot "$option, resized" "$host" 0 137 300 225
        [ "$(xdotool getwindowname "$host")" = Host ] || fail "$option: the window's title changed"
        ends "$option, SIGTERM" kill -TERM $PID
        xdotool windowsize "$host" 800 400
    done
}

# Under a window manager, F11 and Alt+Enter switch to full screen (the frame
# between black bars) and back to the window as it was; --fullscreen starts there.
scenario_fullscreen() {
    local wm before keys full="0 0 $SCREEN_W $SCREEN_H"
    openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    PIDS+=($wm)
    within 10 eval "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"
    start fullscreen "$KVO2"
    within 10 eval 'xprop -id "$WINDOW" _NET_FRAME_EXTENTS | grep -q ='

    before=$(geometry)
    for keys in F11 alt+Return; do
        press $keys
        expect_geometry "$full" "$keys"
        RETRY='[1-9]*' shot "full screen, $keys" "$WINDOW" 0 37 2700 2025
        press $keys
        expect_geometry "$before" "$keys again"
        ok "$keys: full screen and back to the window at $before"
    done
    ends Escape press Escape
    start fullscreen "$KVO2" --fullscreen
    expect_geometry "$full" --fullscreen
    press F11
    within 10 eval '[ "$(geometry | cut -d" " -f3-)" = "640 480" ]' || fail "--fullscreen, F11: window at $(geometry)"
    ok "--fullscreen, F11: back to a window of 640 x 480"
    ends Escape press Escape
    kill $wm
}

# ticks PID...: the processor time of the processes, in clock ticks.
ticks() {
    local pid sum=0
    for pid in "$@"; do sum=$((sum + $(awk '{ print $14 + $15 }' "/proc/$pid/stat"))); done
    echo $sum
}

# --root --fps: a steady rate at the display's pace (60), a picture that moves,
# and the program and the X server within CPU_BOUND % of one core over 10 s.
scenario_saver() {
    local a b t0 t1 share
    spawn saver "$KVO2" --root --fps >"$WORK/rates"
    within 10 test -s "$WORK/rates" || fail "--root --fps: no rate after 10 s; stderr: $(cat "$STDERR")"
    a=$(xwd -root -silent | md5sum)
    within 5 eval '[ "$(xwd -root -silent | md5sum)" != "$a" ]' || fail "--root: the picture does not move"
    ok "--root: the picture moves"
    t0=$(ticks $PID "$XVFB")
    sleep 10
    t1=$(ticks $PID "$XVFB")
    share=$(((t1 - t0) * 100 / $(getconf CLK_TCK) / 10))
    ok "--root with the X server: $share % of one core over 10 s"
    [ -z "${CPU_BOUND:-}" ] || [ "$share" -le "$CPU_BOUND" ] || fail "more than $CPU_BOUND % of one core"
    awk '!/^Kvo [0-9]+\.[0-9][0-9] fps$/ || $2 > 60.5 || $2 <= 0 { bad = bad " \"" $0 "\"" }
         END { if (NR < 5 || bad) { print "rates:" bad " of " NR; exit 1 } }' "$WORK/rates" ||
        fail "--root --fps: not a steady rate of at most 60: $(tr '\n' ' ' <"$WORK/rates")"
    ok "--root --fps: $(tr '\n' ' ' <"$WORK/rates")"
    ends "--root, SIGTERM" kill -TERM $PID
}

# Three monitors, one portrait: a zoom keeps the window on its monitor; --root
# draws the same frame centred on each, between black bars, and follows when
# one goes and another comes below.
scenario_monitors() {
    three_monitors
    start window "$KVO2"
    xdotool windowmove "$WINDOW" 1850 100
    expect_geometry "1850 100 640 480" "moved onto the portrait monitor"
    press 2
    expect_geometry "1484 -80 1280 960" "zoom 2 on the portrait monitor"
    press 1
    expect_geometry "1804 160 640 480" "zoom 1 on the portrait monitor"
    ends Escape press Escape
    spawn monitors "$KVO2" --root
    pictures "${THREE[@]}"
    xrandr --output DUMMY2 --off
    monitor DUMMY3 1280x1024 --below DUMMY0
    pictures "${THREE[@]:0:2}" "800 768 1280 1024 800 800 1280 960"
    ends "--root on three monitors, SIGTERM" kill -TERM $PID
}

for scenario in ${SCENARIOS:-window close refusals inside fullscreen}; do "scenario_$scenario"; done
echo PASS
