# Shared by the end-to-end harnesses (sourced, not run): tool checks, a
# private X server, waiting, screenshots, packages, the soak's rounds, and
# whether the kernel runs 32-bit x86 programs.
SKIP=77   # ctest's SKIP_RETURN_CODE for these tests

fail() { echo "FAIL: $*"; exit 1; }
ok() { echo "ok    $*"; }

# need TOOL...: a missing tool skips the test, except in CI (CI=true), where
# it fails.
need() {
    local missing=() tool
    for tool in "$@"; do command -v "$tool" >/dev/null 2>&1 || missing+=("$tool"); done
    [ ${#missing[@]} = 0 ] && return 0
    [ "${CI:-}" = true ] && fail "missing ${missing[*]} (bash tools/deps.sh installs them)"
    echo "SKIP: missing ${missing[*]} (bash tools/deps.sh installs them)"
    exit $SKIP
}

# Everything a harness starts goes into PIDS and AT_EXIT, and ends with it.
WORK=$(mktemp -d) PIDS=() AT_EXIT=()
cleanup() {
    local c pid
    for c in "${AT_EXIT[@]}"; do eval "$c" 2>/dev/null; done
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT

# Milliseconds since the epoch; since START_MS (set when the program starts).
ms() { local t=${EPOCHREALTIME/[.,]/}; echo $((t / 1000)); }
since() { echo $(($(ms) - START_MS)); }
# within SECONDS COMMAND...: true as soon as COMMAND succeeds (tried every
# 50 ms), false after SECONDS.
within() {
    local end=$(($(ms) + $1 * 1000))
    shift
    until "$@"; do
        [ "$(ms)" -lt $end ] || return 1
        sleep 0.05
    done
}

# start_xvfb [ARGS...]: Xvfb on a free display, as XVFB, with a screen of
# SCREEN_W x SCREEN_H, by default large enough for zoom 4; exports DISPLAY.
# No reset when the last client leaves: a client that connects during a
# reset is dropped.
start_xvfb() {
    x_server 10 Xvfb -screen 0 "${SCREEN_W:-2700}x${SCREEN_H:-2100}x24" "$@"
}

# start_xorg: instead of Xvfb, an X server of several monitors: Xorg with
# its dummy driver (sixteen outputs, DUMMY0 to DUMMY15, and a screen of up
# to 4096 x 2048). Xorg runs only as root: elsewhere the test is skipped, in
# CI too. Then `monitor` arranges the outputs.
start_xorg() {
    need Xorg xrandr cvt
    [ "$(id -u)" = 0 ] || { echo "SKIP: Xorg's dummy driver needs root"; exit $SKIP; }
    x_server 20 Xorg -config "$(realpath "$(dirname "${BASH_SOURCE[0]}")")/xorg-dummy.conf" -logfile "$WORK/xorg.log"
}

# x_server SECONDS SERVER ARGS...: the X server on a free display, as XVFB,
# up within SECONDS; exports DISPLAY.
x_server() {
    "${@:2}" -displayfd 9 -nolisten tcp -noreset 9>"$WORK/display" >>"$WORK/x.log" 2>&1 8>&- &
    XVFB=$!
    PIDS+=($XVFB)
    within "$1" test -s "$WORK/display" || fail "$2 did not start: $(tail -5 "$WORK"/x*.log)"
    export DISPLAY=":$(head -n1 "$WORK/display")"
    unset WAYLAND_DISPLAY
}

# three_monitors: DUMMY1 800 x 600, DUMMY0 1024 x 768 (the primary) and
# DUMMY2 600 x 800 side by side; THREE, their pictures for `pictures`.
three_monitors() {
    monitor DUMMY1 800x600 --pos 0x0
    monitor DUMMY0 1024x768 --primary --right-of DUMMY1
    monitor DUMMY2 600x800 --right-of DUMMY0
}
THREE=("0 0 800 600 0 0 800 600" "800 0 1024 768 800 0 1024 768" "1824 0 600 800 1824 175 600 450")

# monitor OUTPUT WxH [XRANDR-ARGS...]: the dummy output OUTPUT shows a mode
# of W x H, placed as the xrandr arguments say (--left-of DUMMY0, --pos X,Y,
# --primary ...).
monitor() {
    local output=$1 size=$2 line name
    shift 2
    line=$(cvt "${size%x*}" "${size#*x}" 60 | sed -n 's/^Modeline //p' | tr -d '"')
    name=${line%% *}
    # shellcheck disable=SC2086
    xrandr --newmode $line 2>/dev/null || true  # made once per server
    xrandr --addmode "$output" "$name" && xrandr --output "$output" --mode "$name" "$@" ||
        fail "xrandr cannot show $size on $output"
}

# pictures MIN MONITOR... : each monitor, "X Y W H PX PY PW PH" (the monitor
# on the root window, and where its picture must be), shows the same frame
# in its picture, between black bars; looked at again while a frame is half
# painted.
# shellcheck disable=SC2068
pictures() { look "pictures on the monitors:"$'\n' '[13]' "$XCHECK" pictures $@; }

# look WHAT RETRY COMMAND...: COMMAND, a check of a picture, must pass. Some
# stretches of the animation are nearly flat, and a picture may be taken
# while it is painted: while COMMAND's exit status matches the pattern RETRY
# (3: too few colours), it runs again, for ten seconds.
look() {
    local what=$1 retry=$2 result status
    shift 2
    for _ in $(seq 25); do
        status=0
        result=$("$@" 2>&1) || status=$?
        # shellcheck disable=SC2053
        [[ $status == $retry ]] || break
        sleep 0.4
    done
    [ $status = 0 ] || fail "$what $result"
    ok "$what $result"
}

# spawn KEY COMMAND...: starts the program in the background as PID, its
# stderr in $WORK/stderr-KEY (as STDERR), and sets START_MS.
spawn() {
    "${@:2}" 2>"$WORK/stderr-$1" 8>&- &
    PID=$! START_MS=$(ms) STDERR=$WORK/stderr-$1
    PIDS+=($PID)
}
# start KEY COMMAND...: spawns the program and waits for its X window (titled
# Kvo...) to put in WINDOW.
start() {
    spawn "$@"
    within 60 eval "window_found || ! kill -0 $PID 2>/dev/null" && [ -n "$WINDOW" ] ||
        fail "no window titled Kvo; stderr: $(cat "$STDERR")"
}
# Found by one of its two name properties, a window may lack the other yet.
window_found() {
    WINDOW=$(xdotool search --name '^Kvo' 2>/dev/null | head -n1)
    [ -n "$WINDOW" ] && [ -n "$(xdotool getwindowname "$WINDOW" 2>/dev/null)" ]
}

# wait_exit PID SECONDS WANT WHAT: the process must end within SECONDS with
# exit status WANT.
wait_exit() {
    local status=0
    within "$2" eval "! kill -0 $1 2>/dev/null" || fail "$4: still running after $2 s"
    wait "$1" || status=$?
    [ "$status" = "$3" ] || fail "$4: exit status $status, want $3; stderr: $(cat "$STDERR")"
    ok "$4: exit status $3"
}

# shot NAME MIN-COLOURS WINDOW [X Y W H]: the window's picture (or that
# rectangle of the screen when WINDOW is root) may hold only palette colours,
# and at least MIN-COLOURS of them.
shot() { look "screenshot $1:" 3 "$XCHECK" shot "$3" "$2" "${@:4}"; }

# pack GENERATOR BUILD-DIR: cpack's GENERATOR package of the build, in
# $WORK/GENERATOR.
pack() {
    cpack -G "$1" --config "$2/CPackConfig.cmake" -B "$WORK/$1" >"$WORK/cpack.log" 2>&1 ||
        fail "cpack: $(cat "$WORK/cpack.log")"
}
# deb BUILD-DIR: the .deb of the build, as DEB, at the version VERSION.
deb() {
    local debs
    pack DEB "$1"
    debs=("$WORK"/DEB/*.deb)
    [ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "want one .deb, got: ${debs[*]}"
    DEB=${debs[0]} VERSION=$(version "$1")
}
# version BUILD-DIR: the version CPack gives the build's packages.
version() { sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$1/CPackConfig.cmake"; }

# ---- 32-bit x86 programs ------------------------------------------------------

# runs_x86_32: whether this kernel itself runs 32-bit x86 programs, as 32-bit
# Wine needs (a 64-bit kernel without IA32 emulation runs none). A static
# 32-bit program, started directly, prints the machine name uname(2) gives
# it: the kernel's own, as the shell sees it, when the kernel runs it; the
# emulated processor's (i386 to i686) when binfmt_misc hands it to qemu-user,
# under which 32-bit Wine cannot start either. KVO_NO_32BIT=1 answers no
# without asking.
runs_x86_32() {
    local out status=0
    [ "${KVO_NO_32BIT:-}" = 1 ] && return 1
    need as ld
    as --32 -o "$WORK/uname32.o" <<'ASM' && ld -m elf_i386 -o "$WORK/uname32" "$WORK/uname32.o" ||
        .globl _start
_start: movl $122, %eax             # uname(buf)
        movl $buf, %ebx
        int $0x80
        movl $4, %eax               # write(1, buf.machine, 65)
        movl $1, %ebx
        movl $buf + 4 * 65, %ecx
        movl $65, %edx
        int $0x80
        movl $1, %eax               # exit(0)
        xorl %ebx, %ebx
        int $0x80
        .lcomm buf, 6 * 65
ASM
        fail "cannot make the 32-bit probe"
    LC_ALL=C "$WORK/uname32" >"$WORK/uname32.out" 2>&1 || status=$?
    out=$(tr -d '\0' <"$WORK/uname32.out")
    if [ $status != 0 ]; then
        # Exec format error: no 32-bit x86 program runs here.
        [[ "$out" == *"Exec format error"* ]] && return 1
        fail "the 32-bit probe: exit status $status: $out"
    fi
    [ "$out" = "$(uname -m)" ]
}

# ---- Soak: the program under a stream of window operations -----------------

# alive: fails when the program (PID) has ended, naming the last step (STEP).
alive() {
    kill -0 "$PID" 2>/dev/null && return 0
    fail "the program ended at $(since) ms, after: ${STEP:-start}; stderr: $(cat "$STDERR")"
}

# watch_title: counts new titles (TITLES), each a frame rate, and notes when
# the last came (LAST_TITLE_MS, since START_MS).
TITLE=Kvo TITLES=0 LAST_TITLE_MS=0
watch_title() {
    local t
    t=$(xdotool getwindowname "$WINDOW" 2>/dev/null) || return 0
    [ "$t" = "$TITLE" ] && return 0
    [[ "$t" =~ ^Kvo\ [0-9]+\.[0-9]{2}\ fps$ ]] || fail "title \"$t\", want \"Kvo N.NN fps\""
    TITLE=$t TITLES=$((TITLES + 1)) LAST_TITLE_MS=$(since)
}

# soak SECONDS WARM-UP SETTLE <<STEPS: repeats a round of the commands of
# stdin, one a line, each followed by a check that the program still runs,
# for SECONDS (and until there are two memory readings, on a slow machine);
# from WARM-UP seconds on, reads resident memory SETTLE seconds after each
# round. A level is the lowest of up to three readings (one can catch memory
# freed but not yet given back): the last must exceed the first by less than
# 4 MiB. New titles must keep coming, one per two seconds and a frame.
soak() {
    local end=$(($(since) + $1 * 1000)) warm=$(($(since) + $2 * 1000)) titles=$TITLES
    local round=() readings=() rounds=0 kb first last n
    mapfile -t round
    while [ "$(since)" -lt $end ] || [ ${#readings[@]} -lt 2 ]; do
        for STEP in "${round[@]}"; do
            eval "$STEP" 2>>"$WORK/steps.log"
            alive
        done
        rounds=$((rounds + 1))
        watch_title
        if [ "$(since)" -ge $warm ]; then
            sleep "$3"
            kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$PID/status") || alive
            readings+=("$kb")
        fi
    done
    ok "$rounds rounds in $1 s"
    n=$((${#readings[@]} / 2))
    [ $n -le 3 ] || n=3
    first=$(printf '%s\n' "${readings[@]:0:n}" | sort -n | head -n1)
    last=$(printf '%s\n' "${readings[@]: -n}" | sort -n | head -n1)
    [ $((last - first)) -lt 4096 ] || fail "resident memory grew by $((last - first)) KiB: ${readings[*]}"
    ok "resident memory $first -> $last KiB; readings: ${readings[*]}"
    within 3 eval 'watch_title; [ $(($(since) - LAST_TITLE_MS)) -lt 2500 ]'
    [ $((TITLES - titles)) -ge $(($1 / 4)) ] || fail "only $((TITLES - titles)) new titles in $1 s"
    [ $(($(since) - LAST_TITLE_MS)) -lt 4500 ] || fail "no new title since $LAST_TITLE_MS ms: no frames?"
    ok "$((TITLES - titles)) new titles, the last at $LAST_TITLE_MS ms: \"$TITLE\""
}
