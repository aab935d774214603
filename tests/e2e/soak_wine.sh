#!/usr/bin/env bash
# The x64 Windows program under Wine and Xvfb, under a stream of window
# operations with real input: zooms from the system menu, a resize down to
# 1 x 1, minimising (a client area of zero size) and restoring. It must not
# crash, must keep retitling and painting, must not grow in memory, and
# Escape must still end it with status 0.
#   soak_wine.sh SOURCE-DIR BUILD-DIR KVO2_SHOTCHECK [SECONDS]
set -uo pipefail
SRC=$1 BIN=$2 SHOTCHECK=$3 SECONDS_TO_RUN=${4:-10}
. "$(dirname "$0")/common.sh"
. "$(dirname "$0")/soak_common.sh"
. "$(dirname "$0")/build_windows.sh"
DIR=$BIN/windows-x86_64
. "$(dirname "$0")/wine.sh"
need cmake x86_64-w64-mingw32-g++ "$WINE" Xvfb xdotool xwininfo xwd /usr/bin/convert awk pgrep "$SHOTCHECK"
WARM_UP=2              # seconds before the memory readings
GROWTH_LIMIT=4096      # KiB

build_windows "$SRC" "$DIR" x86_64
start_xvfb
start_wine

"$WINE" "$DIR/kvo2/kvo2.exe" 2>"$WORK/stderr" &
LAUNCHED=$!
PID=$LAUNCHED
PIDS+=($PID)
start=$(now)
find_window 30
# The Wine process that runs kvo2.exe: its memory is the program's.
PID=$(pgrep -n -f 'kvo2/kvo2\.exe$') || fail "no process for kvo2.exe"

# client_size: "W H" of the client area.
client_size() { check client | tr -d '\r' | awk '{ print $3, $4 }'; }

round() {
    while read -r STEP; do
        eval "$STEP" 2>>"$WORK/steps.log"
        alive
    done <<'STEPS'
menu_zoom 4 1
xdotool windowsize "$WINDOW" 1 1
sleep 0.2
system_menu n
[ "$(client_size)" = "0 0" ] || fail "minimised: client area $(client_size), want 0 0"
sleep 0.3
system_menu r
menu_zoom 1 3
STEPS
}

run_rounds 0
ok "$rounds rounds in $(elapsed "$start") s, each minimised to a client area of 0 x 0 and restored"
memory_growth $GROWTH_LIMIT "${READINGS[@]}"

titles_keep_coming "$SECONDS_TO_RUN"
read -r cx cy cw ch <<<"$(check client | tr -d '\r')"
[ "$cw x $ch" = "640 x 480" ] || fail "client area $cw x $ch at zoom 1"
shot_check wine-soak-end 32 "${cw}x${ch}+${cx}+${cy}" -root

escape_ends "$LAUNCHED"
echo PASS
