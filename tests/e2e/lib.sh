# Shared by the end-to-end harnesses (sourced): tools, X servers, waiting,
# screenshots, packages, 32-bit x86, the soak.
SKIP=77   # ctest's SKIP_RETURN_CODE for these tests

fail() { echo "FAIL: $*"; exit 1; }
ok() { echo "ok    $*"; }

skip() { echo "SKIP: $*"; exit $SKIP; }
# skip_outside_ci WHY: the test is skipped, except in CI (CI=true): it fails.
skip_outside_ci() { [ "${CI:-}" != true ] || fail "$*"; skip "$*"; }
# need TOOL...: a missing tool skips the test, outside CI.
need() {
    local missing=() tool
    for tool in "$@"; do command -v "$tool" >/dev/null 2>&1 || missing+=("$tool"); done
    [ ${#missing[@]} = 0 ] || skip_outside_ci "missing ${missing[*]} (bash tools/deps.sh installs them)"
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

# Milliseconds since the epoch; since START_MS (the program's start).
ms() { local t=${EPOCHREALTIME/[.,]/}; echo $((t / 1000)); }
since() { echo $(($(ms) - START_MS)); }
# within SECONDS COMMAND...: true once COMMAND succeeds (tried every 50 ms).
within() {
    local end=$(($(ms) + $1 * 1000))
    shift
    until "$@"; do
        [ "$(ms)" -lt $end ] || return 1
        sleep 0.05
    done
}

# start_xvfb [ARGS...]: Xvfb of SCREEN_W x SCREEN_H. start_xorg: Xorg's dummy
# driver, outputs DUMMY0 to DUMMY15 for `monitor`; root only (else a skip).
start_xvfb() { x_server 10 Xvfb -screen 0 "${SCREEN_W:-2700}x${SCREEN_H:-2100}x24" "$@"; }
start_xorg() {
    need Xorg xrandr cvt
    [ "$(id -u)" = 0 ] || skip "Xorg's dummy driver needs root"
    x_server 20 Xorg -config "$(realpath "$(dirname "${BASH_SOURCE[0]}")")/xorg-dummy.conf" -logfile "$WORK/xorg.log"
}
# x_server SECONDS SERVER ARGS...: the server on a free display, as XVFB, up
# within SECONDS; exports DISPLAY. No reset: a client connecting then is dropped.
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

# monitor OUTPUT WxH [XRANDR-ARGS...]: OUTPUT shows W x H, placed by xrandr's
# arguments (--pos X,Y, --right-of OUTPUT, --primary ...).
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

# look WHAT RETRY COMMAND...: COMMAND, a picture's check, must pass; while its status matches
# RETRY (3: too few colours, a flat stretch or a half-painted picture), again, for 10 s.
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

# spawn KEY COMMAND...: the program in the background as PID, its stderr in
# STDERR ($WORK/stderr-KEY); sets START_MS.
spawn() {
    "${@:2}" 2>"$WORK/stderr-$1" 8>&- &
    PID=$! START_MS=$(ms) STDERR=$WORK/stderr-$1
    PIDS+=($PID)
}
# start KEY COMMAND...: spawns the program and waits for its X window, WINDOW.
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

# press KEY...: keys (XTEST) to WINDOW once X's focus is on it (read back) and `owns_keys` agrees.
press() {
    within 10 eval 'xdotool windowfocus "$WINDOW" 2>/dev/null; [ "$(xdotool getwindowfocus 2>/dev/null)" = "$WINDOW" ]' ||
        fail "keys meant for window $WINDOW would go to window $(xdotool getwindowfocus 2>/dev/null)"
    ! declare -F owns_keys >/dev/null || owns_keys
    xdotool key "$@"
}

# next_titles N: N new titles (10 s each), rates in RATES; after two, all input sent before is read.
next_titles() {
    watch_title
    local n=$TITLES
    RATES=()
    while [ ${#RATES[@]} -lt "$1" ]; do
        within 10 eval 'watch_title; [ $TITLES -gt $n ]' || fail "no new title in 10 s: no frames?"
        n=$TITLES RATES+=("${TITLE#Kvo }")
    done
}

# wait_exit PID SECONDS WANT WHAT: the process ends within SECONDS, status WANT.
wait_exit() {
    local status=0
    within "$2" eval "! kill -0 $1 2>/dev/null" || fail "$4: still running after $2 s"
    wait "$1" || status=$?
    [ "$status" = "$3" ] || fail "$4: exit status $status, want $3; stderr: $(cat "$STDERR")"
    ok "$4: exit status $3"
}
# ends WHAT COMMAND...: COMMAND ends the program (PID): status 0 within END_S (10) s.
ends() { "${@:2}"; wait_exit "$PID" "${END_S:-10}" 0 "$1"; }

# shot NAME WINDOW [X Y W H]: the window (or that rectangle of root) in 32 or
# more palette colours, retried on RETRY (3). pictures "X Y W H PX PY PW PH"...:
# each monitor shows the same frame at P, between black bars.
shot() { look "screenshot $1:" "${RETRY:-3}" "$XCHECK" shot "$2" 32 "${@:3}"; }
# shellcheck disable=SC2068
pictures() { look "pictures on the monitors:"$'\n' '[13]' "$XCHECK" pictures 32 $@; }

# pack GENERATOR BUILD-DIR: cpack's GENERATOR package of the build, in $WORK/GENERATOR.
pack() {
    cpack -G "$1" --config "$2/CPackConfig.cmake" -B "$WORK/$1" >"$WORK/cpack.log" 2>&1 ||
        fail "cpack: $(cat "$WORK/cpack.log")"
}
# version BUILD-DIR: the project's version in the build.
version() { sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt"; }

# runs_x86_32: whether the kernel runs 32-bit x86 programs, as 32-bit Wine needs (KVO_NO_32BIT=1:
# no): uname(2) in one says the kernel's machine, not i686 as under qemu-user (binfmt_misc).
runs_x86_32() {
    local out status=0
    [ "${KVO_NO_32BIT:-}" = 1 ] && return 1
    need as ld
    # One line a system call: uname(buf), write(1, buf.machine, 65), exit(0).
    as --32 -o "$WORK/uname32.o" <<'ASM' && ld -m elf_i386 -o "$WORK/uname32" "$WORK/uname32.o" ||
        .globl _start
_start: movl $122, %eax; movl $buf, %ebx; int $0x80
        movl $4, %eax; movl $1, %ebx; movl $buf + 4 * 65, %ecx; movl $65, %edx; int $0x80
        movl $1, %eax; xorl %ebx, %ebx; int $0x80
        .lcomm buf, 6 * 65
ASM
        fail "cannot make the 32-bit probe"
    LC_ALL=C "$WORK/uname32" >"$WORK/uname32.out" 2>&1 || status=$?
    out=$(tr -d '\0' <"$WORK/uname32.out")
    [ $status = 0 ] && [ "$out" = "$(uname -m)" ] && return 0
    [ $status = 0 ] || [[ "$out" == *"Exec format error"* ]] || fail "the 32-bit probe: exit status $status: $out"
    return 1
}

# ---- Soak: the program under a stream of window operations
# alive: fails when the program (PID) has ended, naming the last step (STEP).
alive() {
    kill -0 "$PID" 2>/dev/null && return 0
    fail "the program ended at $(since) ms, after: ${STEP:-start}; stderr: $(cat "$STDERR")"
}

# watch_title: counts new titles (TITLES), each a frame rate, and notes when
# the last came (LAST_TITLE_MS). title_now reads the title, here from X.
TITLE=Kvo TITLES=0 LAST_TITLE_MS=0
title_now() { xdotool getwindowname "$WINDOW" 2>/dev/null; }
watch_title() {
    local t
    t=$(title_now) || return 0
    [ "$t" = "$TITLE" ] && return 0
    [[ "$t" =~ ^Kvo\ [0-9]+\.[0-9]{2}\ fps$ ]] || fail "title \"$t\", want \"Kvo N.NN fps\""
    TITLE=$t TITLES=$((TITLES + 1)) LAST_TITLE_MS=$(since)
}

# first_titles: "Kvo" (first_title, as the window was found), a rate from the first frame after 2 s on.
first_title() { title_now; }
first_titles() {
    [ "$(first_title)" = Kvo ] || fail "first title \"$(first_title)\", want \"Kvo\""
    within 10 eval 'watch_title; [ "$TITLES" -gt 0 ]' || fail "title still \"Kvo\" after 10 s"
    [ "$LAST_TITLE_MS" -ge 2000 ] || fail "title changed at $LAST_TITLE_MS ms, before 2 s"
    ok "title \"Kvo\", then \"$TITLE\" at $LAST_TITLE_MS ms"
}

# soak SECONDS WARM-UP SETTLE <<STEPS: rounds of stdin's commands, each then `alive`, for
# SECONDS; from WARM-UP s on, resident memory SETTLE s after each round: the lowest of the last
# three readings under 4 MiB above the first three's. Titles keep coming.
soak() {
    local end=$(($(since) + $1 * 1000)) warm=$(($(since) + $2 * 1000)) titles=$TITLES
    local round=() readings=() rounds=0 kb first last n
    mapfile -t round
    while [ "$(since)" -lt $end ] || [ ${#readings[@]} -lt 2 ]; do
        for STEP in "${round[@]}"; do
            eval "$STEP" 2>>"$WORK/steps.log"
            alive
            watch_title
        done
        rounds=$((rounds + 1))
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
