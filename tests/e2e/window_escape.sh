#!/usr/bin/env bash
# A Linux program from outside the build tree (an unpacked package, an
# install): under Xvfb its window opens, and Escape ends it with status 0.
#   window_escape.sh KVO2
set -uo pipefail
KVO2=$1
. "$(dirname "$0")/common.sh"
need Xvfb xdotool xwininfo "$KVO2"
start_xvfb
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
"$KVO2" 2>"$WORK/stderr" &
PID=$!
PIDS+=($PID)
find_window 10
ok "$KVO2: window open"
# A window just created may not take the focus yet: press again until it ends.
for _ in $(seq 20); do
    xdotool windowfocus --sync "$WINDOW" 2>/dev/null && xdotool key Escape
    sleep 0.5
    kill -0 "$PID" 2>/dev/null || break
done
wait_exit "$PID" 5
[ "$EXIT_STATUS" = 0 ] || fail "Escape: exit status $EXIT_STATUS, want 0; stderr: $(cat "$WORK/stderr")"
ok "Escape ends it with exit status 0"
