#!/usr/bin/env bash
# The Linux program on an X server without OpenGL (Xvfb without its GLX
# extension): SDL's accelerated renderers cannot start there, and the
# program must draw with SDL's software renderer instead: the window opens,
# shows palette colours at zoom 1 and 2, retitles, and Escape ends it with
# status 0.
#   software_renderer.sh KVO2 KVO2_SHOTCHECK
set -uo pipefail
KVO2=$1 SHOTCHECK=$2
. "$(dirname "$0")/common.sh"
. "$(dirname "$0")/soak_common.sh"
need Xvfb xdotool xwininfo xdpyinfo xwd /usr/bin/convert awk "$KVO2" "$SHOTCHECK"
start_xvfb -extension GLX
xdpyinfo -queryExtensions | grep -q GLX && fail "the X server still offers GLX"
ok "X server without GLX"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

"$KVO2" 2>"$WORK/stderr" &
PID=$!
PIDS+=($PID)
start=$(now)
find_window 10
ok "window open"
shot_check no-gl-zoom1 32 "" -id "$WINDOW"
xdotool windowfocus --sync "$WINDOW" 2>/dev/null || true
xdotool key 2
for _ in $(seq 60); do
    [ "$(xwininfo -id "$WINDOW" | awk '/^ *Width:/ { print $2 }')" = 1280 ] && break
    sleep 0.05
done
sleep 0.5
shot_check no-gl-zoom2 32 "" -id "$WINDOW"
# Frames keep coming: two new titles, two seconds apart.
for _ in $(seq 100); do
    watch_title
    [ "$TITLE_CHANGES" -ge 2 ] && break
    sleep 0.1
done
alive
[ "$TITLE_CHANGES" -ge 2 ] || fail "$TITLE_CHANGES new titles in $(elapsed "$start") s"
ok "titles keep coming: \"$LAST_TITLE\" at $LAST_CHANGE s"

xdotool windowfocus --sync "$WINDOW" 2>/dev/null || true
xdotool key Escape
wait_exit "$PID" 10
[ "$EXIT_STATUS" = 0 ] || fail "Escape: exit status $EXIT_STATUS, want 0; stderr: $(cat "$WORK/stderr")"
[ ! -s "$WORK/stderr" ] || fail "stderr: $(cat "$WORK/stderr")"
ok "Escape ends the program with exit status 0, nothing on stderr"
echo PASS
