#!/usr/bin/env bash
# The x64 Windows program end to end, under Wine and Xvfb: kvo2_wincheck (a
# Win32 program of its own) checks the window from outside; real input drives
# the system menu and the keyboard.
#   wine_e2e.sh SOURCE-DIR BUILD-DIR KVO2_SHOTCHECK
set -uo pipefail
SRC=$1 BIN=$2 SHOTCHECK=$3
. "$(dirname "$0")/common.sh"
. "$(dirname "$0")/build_windows.sh"
DIR=$BIN/windows-x86_64
. "$(dirname "$0")/wine.sh"
need cmake x86_64-w64-mingw32-g++ "$WINE" Xvfb xdotool xwd /usr/bin/convert awk "$SHOTCHECK"

build_windows "$SRC" "$DIR" x86_64
start_xvfb
started=$(now)
start_wine
ok "wine prefix ready in $(elapsed "$started") s"

# Frames drawn by the Windows build, with every kernel set the processor has,
# are the golden frames to the bit.
GOLDEN=$SRC/tests/golden/frames.txt
# shellcheck disable=SC2046
"$WINE" "$DIR/kvo2_golden_frames.exe" $(awk '{print $1}' "$GOLDEN") | tr -d '\r' >"$WORK/frames.txt" ||
    fail "kvo2_golden_frames.exe did not run"
[ -s "$WORK/frames.txt" ] || fail "kvo2_golden_frames.exe printed nothing"
while read -r set t hash; do
    want=$(awk -v t="$t" '$1 == t {print $2}' "$GOLDEN")
    [ "$hash" = "$want" ] || fail "the $set frame at t = $t is $hash, the golden one $want"
done <"$WORK/frames.txt"
ok "Windows frames equal the golden frames ($(awk '{print $1}' "$WORK/frames.txt" | sort -u | tr '\n' ' '))"

check icon "$DIR/kvo2/kvo2.exe" || fail "LoadIconA(program, \"IDI_MAIN\")"

# The checker waits for the window and reads its first title at once.
check open 120 >"$WORK/open.log" 2>&1 &
CHECK=$!
PIDS+=($CHECK)
"$WINE" "$DIR/kvo2/kvo2.exe" &
PID=$!
PIDS+=($PID)
wait "$CHECK"
status=$?
cat "$WORK/open.log"
[ $status = 0 ] || fail "the window did not open as it should"

WINDOW=$(xdotool search --name '^Kvo' | head -n1)
[ -n "$WINDOW" ] || fail "no X window for the Kvo window"

# menu_zoom N UPS with a word on success.
zoom_via_menu() {
    menu_zoom "$@"
    ok "Zoom $1 x $1: outer size $1 times the zoom-1 size, centred"
}

read -r cx cy cw ch <<<"$(check client | tr -d '\r')"
[ "$cw x $ch" = "640 x 480" ] || fail "client area $cw x $ch"
shot_check wine-zoom1 32 "${cw}x${ch}+${cx}+${cy}" -root

zoom_via_menu 4 1
zoom_via_menu 2 2
read -r cx cy cw ch <<<"$(check client | tr -d '\r')"
# The grown window gets its picture with the next frame, a moment later.
sleep 0.5
shot_check wine-zoom2 32 "${cw}x${ch}+${cx}+${cy}" -root
zoom_via_menu 1 3

# A zoom command without a factor (0x400, 0x408) leaves the window as it is.
for id in 0x400 0x408; do
    check syscommand $id || fail "system command $id"
    check zoom 1 2 || fail "system command $id changed the window"
done
ok "zoom commands with factor 0 are ignored"

escape_ends "$PID"
echo PASS
