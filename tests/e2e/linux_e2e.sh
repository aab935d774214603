#!/usr/bin/env bash
# The Linux program end to end, under Xvfb with real X11 input:
#   linux_e2e.sh KVO2 KVO2_X11CLOSE KVO2_SHOTCHECK
set -uo pipefail
KVO2=$1 X11CLOSE=$2 SHOTCHECK=$3
. "$(dirname "$0")/common.sh"
need Xvfb xdotool xwininfo xprop xwd /usr/bin/convert awk "$KVO2" "$X11CLOSE" "$SHOTCHECK"
start_xvfb
# Under the sanitizer build: the system's D-Bus and GL libraries keep
# allocations past exit that are theirs to free; the program frees nothing by
# hand, as it ends from inside ShowFrame. Leak checking would only report them.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
SCREEN_W=2700 SCREEN_H=2100

# geometry: "X Y W H" of the window on the screen.
geometry() {
    xwininfo -id "$WINDOW" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
        /^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print x, y, w, h }'
}

# expect_zoom N: waits for a client area of N times the frame, then checks
# that the window is centred.
expect_zoom() {
    local n=$1 want_w=$((640 * $1)) want_h=$((480 * $1)) g
    local want="$(((SCREEN_W - want_w) / 2)) $(((SCREEN_H - want_h) / 2)) $want_w $want_h"
    # The size and the position change one after the other.
    for _ in $(seq 60); do
        g=$(geometry)
        [ "$g" = "$want" ] && break
        sleep 0.05
    done
    [ "$g" = "$want" ] || fail "zoom $n: window at $g, want $want (x y w h)"
    ok "zoom $n: client ${want_w}x${want_h}, centred at ${want% * *}"
}

# press KEY...: real key presses (XTEST) to the window, which has the focus.
press() {
    xdotool mousemove $((SCREEN_W / 2)) $((SCREEN_H / 2))
    xdotool windowfocus --sync "$WINDOW" 2>/dev/null || true
    xdotool key "$@"
}

# --- Run 1: opening, title, icon, picture, zoom keys, Escape.
start=$(now)
"$KVO2" 2>"$WORK/stderr1" &
PID=$!
PIDS+=($PID)
find_window 10
title=$(xdotool getwindowname "$WINDOW")
[ "$title" = Kvo ] || fail "first title \"$title\", want \"Kvo\""
ok "title \"Kvo\""
expect_zoom 1

# The rate replaces the title with the first frame after two seconds, and
# again every two seconds.
changed=""
for _ in $(seq 200); do
    title=$(xdotool getwindowname "$WINDOW")
    if [ "$title" != Kvo ]; then
        changed=$(elapsed "$start")
        break
    fi
    sleep 0.05
done
[ -n "$changed" ] || fail "title still \"Kvo\" after 10 s"
[[ "$title" =~ ^Kvo\ [0-9]+\.[0-9]{2}\ fps$ ]] || fail "title \"$title\", want \"Kvo N.NN fps\""
awk -v t="$changed" 'BEGIN { exit !(t >= 2.0) }' || fail "title changed ${changed} s after start, before 2 s"
ok "title \"$title\" ${changed} s after start"

# The icon: the 32 x 32 drawing, with its four squares.
icon=$(xprop -id "$WINDOW" -notype -f _NET_WM_ICON 32c '=$0+' _NET_WM_ICON | tr -d ' ' | cut -d= -f2)
IFS=, read -r -a icon <<<"$icon"
[ "${icon[0]:-}x${icon[1]:-}" = 32x32 ] || fail "window icon ${icon[0]:-none}x${icon[1]:-none}, want 32x32"
pixel() { printf '%08X' "${icon[$((2 + $2 * 32 + $1))]}"; }
for spot in "0 0 FF000000 border" "8 8 FFFF0000 red" "22 8 FF00FF00 green" "8 22 FF0000FF blue" \
            "22 22 FFFFFF00 yellow" "1 15 FFC0C0C0 light-grey" "2 16 FF808080 dark-grey"; do
    read -r x y want what <<<"$spot"
    [ "$(pixel "$x" "$y")" = "$want" ] || fail "icon pixel ($x, $y) $(pixel "$x" "$y"), want $want ($what)"
done
ok "window icon 32x32 with the four squares"

shot_check zoom1 32 "" -id "$WINDOW"

press 2
expect_zoom 2
# The grown window gets its picture with the next frame, a moment later.
sleep 0.5
shot_check zoom2 32 "" -id "$WINDOW"
press 3 a space Return
sleep 0.3
g=$(geometry)
[ "${g#* * }" = "1280 960" ] || fail "other keys changed the window to $g"
ok "other keys leave the window alone"
press 4
expect_zoom 4
press 1
expect_zoom 1

press Escape
wait_exit "$PID" 10
[ "$EXIT_STATUS" = 0 ] || fail "Escape: exit status $EXIT_STATUS, want 0; stderr: $(cat "$WORK/stderr1")"
ok "Escape ends the program with exit status 0"

# --- Run 2: the window manager's close request.
"$KVO2" 2>"$WORK/stderr2" &
PID=$!
PIDS+=($PID)
find_window 10
"$X11CLOSE" "$WINDOW" || fail "could not send WM_DELETE_WINDOW"
wait_exit "$PID" 10
[ "$EXIT_STATUS" = 0 ] || fail "WM_DELETE_WINDOW: exit status $EXIT_STATUS, want 0; stderr: $(cat "$WORK/stderr2")"
ok "WM_DELETE_WINDOW ends the program with exit status 0"

# --- Run 3: no display, no window.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY "$KVO2" >"$WORK/stdout3" 2>"$WORK/stderr3" || status=$?
[ "$status" = 1 ] || fail "without a display: exit status $status, want 1"
[ "$(wc -l <"$WORK/stderr3")" = 1 ] && grep -q '^kvo2: cannot open the window: ..*' "$WORK/stderr3" ||
    fail "without a display, stderr was: $(cat "$WORK/stderr3")"
ok "without a display: exit status 1, \"$(cat "$WORK/stderr3")\""
echo "PASS"
