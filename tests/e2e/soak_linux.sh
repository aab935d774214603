#!/usr/bin/env bash
# The Linux program under a long stream of window operations, under Xvfb
# with real X11 input: zoom keys, resizing down to 1 x 1 and back, unmapping,
# minimising and mapping again, and a busy pointer. It must not crash, must
# keep drawing and retitling, must not grow in memory, and Escape must still
# end it with status 0.
#   soak_linux.sh KVO2 KVO2_SHOTCHECK [SECONDS]
set -uo pipefail
KVO2=$1 SHOTCHECK=$2 SECONDS_TO_RUN=${3:-20}
. "$(dirname "$0")/common.sh"
. "$(dirname "$0")/soak_common.sh"
need Xvfb xdotool xwininfo xwd /usr/bin/convert awk "$KVO2" "$SHOTCHECK"
start_xvfb
# As in linux_e2e.sh: no leak report for the system libraries' allocations
# at exit. And a small quarantine: by default the sanitizer holds up to
# 256 MiB of freed blocks back from reuse, and resident memory would grow
# with every window-sized buffer freed, leak or not.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0:quarantine_size_mb=1"
WARM_UP=3              # seconds before the memory readings
GROWTH_LIMIT=4096      # KiB

# A fixed threshold for mmap: large blocks (window-sized buffers, 19 MiB at
# zoom 4) go back to the system when freed, instead of staying in the heap
# once glibc has raised its threshold past them; resident memory then follows
# the memory in use.
MALLOC_MMAP_THRESHOLD_=262144 "$KVO2" 2>"$WORK/stderr" &
PID=$!
PIDS+=($PID)
start=$(now)
find_window 10

key() {
    xdotool windowfocus "$WINDOW" 2>/dev/null || true
    xdotool key "$@" || true
}

# One round of operations, about a second and a half, each step followed by
# a check that the program still runs; the round leaves the window mapped.
round() {
    while read -r STEP; do
        eval "$STEP" 2>>"$WORK/xdotool.log"
        alive
    done <<'STEPS'
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
xdotool windowminimize "$WINDOW" || true
sleep 0.2
xdotool windowmap "$WINDOW"
for x in 0 100 200 300 400 500 600; do xdotool mousemove --window "$WINDOW" "$x" $((x / 2)); done
key 4 1 2 1
sleep 0.1
STEPS
}

run_rounds 0.2
ok "$rounds rounds in $(elapsed "$start") s"
memory_growth $GROWTH_LIMIT "${READINGS[@]}"

# Back at zoom 1, mapped: the title still changes and the picture has the
# palette's colours.
key 1
alive
titles_keep_coming "$SECONDS_TO_RUN"
shot_check soak-end 32 "" -id "$WINDOW"

key Escape
wait_exit "$PID" 10
[ "$EXIT_STATUS" = 0 ] || fail "Escape: exit status $EXIT_STATUS, want 0; stderr: $(cat "$WORK/stderr")"
[ ! -s "$WORK/stderr" ] || fail "stderr: $(cat "$WORK/stderr")"
ok "Escape ends the program with exit status 0, nothing on stderr"
echo PASS
