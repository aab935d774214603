#!/usr/bin/env bash
# The Linux program on SDL's Wayland driver, in a headless sway without XWayland, read through
# sway's window tree:  wayland.sh KVO2 KVO2_XCHECK  (as root, both run as the user kvo-test).
set -uo pipefail
KVO2=$1 XCHECK=$2
. "$(dirname "$0")/lib.sh"
DESKTOP=$(dirname "$0")/../../kvo2/linux/kvo2.desktop
need sway swaymsg grim jq setpriv flock "$KVO2" "$XCHECK"
# Sanitizers: no leak report for the system's libraries.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# AS: runs a command as the test's user, with only the variables given after it.
USER_NAME=$(id -un) AS=(env -i)
if [ "$(id -u)" = 0 ]; then
    USER_NAME=kvo-test
    need useradd
    # Two builds may run this test at once: one makes the user, one waits.
    flock /etc sh -c "id -u $USER_NAME >/dev/null 2>&1 ||
        useradd --system --user-group --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin $USER_NAME" ||
        fail "cannot make the user $USER_NAME"
    AS=(setpriv --reuid="$USER_NAME" --regid="$USER_NAME" --init-groups -- env -i)
fi
# The user's runtime directory: sway's sockets, its configuration and, where
# the user cannot reach the build's program, a copy of it under its own name.
RUNTIME=$(mktemp -d) && chown "$USER_NAME:" "$RUNTIME" && chmod 700 "$RUNTIME" ||
    fail "cannot make a runtime directory for $USER_NAME"
AT_EXIT+=('[ -z "${SWAY:-}" ] || { kill $SWAY; wait $SWAY; }; rm -rf "$RUNTIME"')
if ! "${AS[@]}" test -x "$KVO2"; then
    mkdir "$RUNTIME/bin" && cp "$KVO2" "$RUNTIME/bin/" || fail "cannot copy $KVO2"
    KVO2=$RUNTIME/bin/$(basename "$KVO2")
    ok "$USER_NAME cannot reach the build's program: running a copy, $KVO2"
fi
# Coverage counters go to the runtime directory, not beside root's objects.
ENV=(PATH=/usr/bin:/bin HOME="$RUNTIME" XDG_RUNTIME_DIR="$RUNTIME" GCOV_PREFIX="$RUNTIME/gcov")

printf 'xwayland disable\n' >"$RUNTIME/config"
# Without a GPU, wlroots draws with pixman.
"${AS[@]}" "${ENV[@]}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$RUNTIME/config" >"$WORK/sway.log" 2>&1 8>&- &
SWAY=$!
PIDS+=($SWAY)
sockets() {
    IPC=$(compgen -G "$RUNTIME/sway-ipc.*.sock") &&
        SOCKET=$(compgen -G "$RUNTIME/wayland-*" | grep -v '\.lock$' | head -n1) && [ -S "$SOCKET" ]
}
within 20 eval 'sockets || ! kill -0 $SWAY' && kill -0 $SWAY ||
    fail "sway did not start: $(cat "$WORK/sway.log")"
ENV+=(WAYLAND_DISPLAY="$(basename "$SOCKET")")
ok "sway as $USER_NAME on $(basename "$SOCKET"), without XWayland"

# node: the program's window in sway's tree, one line of JSON (or nothing).
node() { swaymsg -s "$IPC" -t get_tree | jq -c --argjson pid "$PID" 'first(.. | objects | select(.pid? == $pid))'; }

# start_wayland KEY [VAR=VALUE...]: spawns the program on SDL's Wayland driver with those variables;
# waits for its window (NODE) to have a title. sway's window events go to EVENTS: a window appears
# with its first frame, which a busy machine may draw after the title changed.
start_wayland() {
    EVENTS=$WORK/events-$1
    stdbuf -oL swaymsg -s "$IPC" -t subscribe -m '["window", "workspace"]' >"$EVENTS" 2>&1 8>&- &
    PIDS+=($!)
    within 10 eval 'swaymsg -s "$IPC" "workspace kvo-ready; workspace 1" >/dev/null; grep -q kvo-ready "$EVENTS"' ||
        fail "no subscription to sway's window events: $(cat "$EVENTS")"
    spawn "$1" "${AS[@]}" "${ENV[@]}" SDL_VIDEODRIVER=wayland ${ASAN_OPTIONS:+ASAN_OPTIONS=$ASAN_OPTIONS} \
        ${UBSAN_OPTIONS:+UBSAN_OPTIONS=$UBSAN_OPTIONS} "${@:2}" "$KVO2"
    within 60 eval 'NODE=$(node); [ -n "$NODE" ] && [ "$(jq -r .name <<<"$NODE")" != null ] || ! kill -0 $PID' &&
        [ -n "$NODE" ] || fail "no window in sway's tree; stderr: $(cat "$STDERR")"
}

# grim_shot MIN X Y W H: `kvo2_xcheck ppm` on a screenshot of sway's screen.
grim_shot() { grim -t ppm "$WORK/shot.ppm" && "$XCHECK" ppm "$WORK/shot.ppm" "$@"; }
# field FILTER: jq's raw output of FILTER on NODE; title_now, the window's title.
field() { jq -r "$1" <<<"$NODE"; }
title_now() { NODE=$(node) && [ -n "$NODE" ] && field .name; }
first_title() { jq -r --argjson pid "$PID" 'select(.container.pid? == $pid) | .container.name // empty' "$EVENTS" | head -n1; }

# inhibits WHAT: the program's own inhibitor holds sway's idle off (no user rule).
inhibits() {
    within 5 eval 'NODE=$(node); [ "$(field "[.inhibit_idle, .idle_inhibitors.application, .idle_inhibitors.user] | @tsv")" = "$(printf "true\tenabled\tnone")" ]' ||
        fail "idle not inhibited by the program $1: inhibit_idle $(field .inhibit_idle), inhibitors $(jq -c .idle_inhibitors <<<"$NODE")"
    ok "idle inhibited by the program's own inhibitor, $1"
}

# The window with SDL's defaults for the screen saver: the titles, the app id,
# the shell, the idle inhibitor, the picture, SIGTERM.
scenario_window() {
    local want x y w h
    start_wayland window
    first_titles
    # Desktops match a Wayland window to its menu entry by the app id: the
    # entry's StartupWMClass, or else the entry's file name.
    want=$(sed -n 's/^StartupWMClass=//p' "$DESKTOP")
    want=${want:-$(basename "$DESKTOP" .desktop)}
    [ "$(field .app_id)" = "$want" ] || fail "app id \"$(field .app_id)\", want \"$want\" (the menu entry's)"
    ok "app id \"$want\", the menu entry's"
    [ "$(field .shell)" = xdg_shell ] || fail "shell \"$(field .shell)\", want xdg_shell"
    ok "an xdg-shell window"
    inhibits "with SDL's defaults"

    # The client area on the screen: the window's place inside its container's.
    read -r x y w h < <(field '"\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width) \(.window_rect.height)"')
    look "screenshot of the window at $x, $y:" 3 grim_shot 32 "$x" "$y" "$w" "$h"

    # In a window of its own, Kvo leaves SIGTERM to the system: it ends by it.
    kill -TERM "$PID"
    wait_exit "$PID" 10 $((128 + 15)) SIGTERM
    [ ! -s "$STDERR" ] || fail "stderr: $(cat "$STDERR")"
}

# The compositor's close request, to a window that holds the idle off by
# itself where SDL's default would not (SDL_VIDEO_ALLOW_SCREENSAVER=1).
scenario_close() {
    start_wayland close SDL_VIDEO_ALLOW_SCREENSAVER=1
    inhibits "with SDL_VIDEO_ALLOW_SCREENSAVER=1"
    swaymsg -s "$IPC" "[pid=$PID] kill" >/dev/null || fail "swaymsg kill failed"
    wait_exit "$PID" 10 0 "closed by sway"
    [ ! -s "$STDERR" ] || fail "stderr: $(cat "$STDERR")"
}

# grim reaches sway by the socket's path.
export WAYLAND_DISPLAY=$SOCKET
unset DISPLAY
for scenario in window close; do "scenario_$scenario"; done
echo PASS
