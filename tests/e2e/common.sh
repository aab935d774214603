# Shared by the end-to-end tests: tool checks, a private X server, waiting.
# Sourced, not run.

SKIP=77   # ctest's SKIP_RETURN_CODE for these tests

# need TOOL...: every tool must be there. When one is missing the test is
# skipped, except in CI (CI=true), where it fails.
need() {
    local missing=()
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || [ -x "$tool" ] || missing+=("$tool")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "${CI:-}" = true ]; then
        echo "FAIL: missing ${missing[*]} (bash tools/deps.sh installs them)"
        exit 1
    fi
    echo "SKIP: missing ${missing[*]} (bash tools/deps.sh installs them)"
    exit $SKIP
}

fail() {
    echo "FAIL: $*"
    exit 1
}

ok() { echo "ok    $*"; }

WORK=$(mktemp -d)
PIDS=()
cleanup() {
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

# start_xvfb [XVFB-ARGS...]: starts Xvfb on a free display with a screen
# large enough for zoom 4 and exports DISPLAY.
start_xvfb() {
    Xvfb -displayfd 9 -screen 0 2700x2100x24 -nolisten tcp "$@" 9>"$WORK/display" 2>"$WORK/xvfb.log" &
    PIDS+=($!)
    for _ in $(seq 100); do
        [ -s "$WORK/display" ] && break
        sleep 0.1
    done
    [ -s "$WORK/display" ] || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
    export DISPLAY=":$(head -n1 "$WORK/display")"
    unset WAYLAND_DISPLAY
}

# find_window SECONDS: the id of the X window titled Kvo... into WINDOW;
# fails after SECONDS, saying whether the program ($PID) still runs.
find_window() {
    for _ in $(seq $(($1 * 20))); do
        WINDOW=$(xdotool search --name '^Kvo' 2>/dev/null | head -n1)
        # Found by one of its two name properties, it may lack the other yet.
        [ -n "$WINDOW" ] && [ -n "$(xdotool getwindowname "$WINDOW" 2>/dev/null)" ] && return 0
        sleep 0.05
    done
    local state=running
    kill -0 "$PID" 2>/dev/null || state="ended"
    fail "no window titled Kvo within $1 s (program $state; windows: $(xwininfo -root -tree |
        grep -c '^ *0x'); stderr: $(cat "$WORK"/stderr* 2>/dev/null))"
}

# rss_kb PID: the process's resident memory in KiB (VmRSS), empty if it is gone.
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null; }

# now: seconds since the epoch, with fractions.
now() { date +%s.%N; }

# elapsed START: seconds since START.
elapsed() { awk -v a="$(now)" -v b="$1" 'BEGIN { printf "%.2f", a - b }'; }

# wait_exit PID SECONDS: waits for the process to end; its exit status goes
# to EXIT_STATUS, or fails after SECONDS.
wait_exit() {
    local pid=$1 tenths=$(($2 * 10))
    for _ in $(seq $tenths); do
        if ! kill -0 "$pid" 2>/dev/null; then
            EXIT_STATUS=0
            wait "$pid" || EXIT_STATUS=$?
            return 0
        fi
        sleep 0.1
    done
    fail "process $pid still running after $2 s"
}

# shot_check NAME MIN-COLOURS CROP XWD-ARGS...: takes a screenshot with xwd
# (cropped to CROP, WxH+X+Y, unless empty) into $WORK/NAME.png and checks it
# with kvo2_shotcheck ($SHOTCHECK): only palette colours, and at least
# MIN-COLOURS of them. Some stretches of the animation are nearly flat, so a
# shot with too few colours is taken again, for up to ten seconds. Copies
# the shot to $KVO_SHOT_DIR if that is set.
shot_check() {
    local name=$1 min=$2 crop=$3 result status
    shift 3
    for _ in $(seq 25); do
        xwd -silent "$@" | /usr/bin/convert xwd:- ${crop:+-crop "$crop" +repage} "$WORK/$name.png" ||
            fail "screenshot $name"
        /usr/bin/convert "$WORK/$name.png" "$WORK/$name.ppm" || fail "screenshot $name to PPM"
        status=0
        result=$("$SHOTCHECK" "$WORK/$name.ppm" "$min") || status=$?
        [ $status = 3 ] || break
        sleep 0.4
    done
    [ $status = 0 ] || fail "screenshot $name: $result"
    ok "screenshot $name: $result"
    if [ -n "${KVO_SHOT_DIR:-}" ]; then cp "$WORK/$name.png" "$KVO_SHOT_DIR/"; fi
}
