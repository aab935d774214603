# Sourced by the tests under Wine (after common.sh): the Wine to run, its
# prefix, the window checker and the system menu. Needs BIN (the build
# directory) and DIR (where the Windows build is).
WINE=/usr/lib/wine/wine64
command -v wine64 >/dev/null 2>&1 && WINE=$(command -v wine64)

# start_wine: a Wine prefix kept in the build directory and shared by the
# tests, made once (a fresh one takes several seconds to tens of seconds);
# its wineserver is ended when the test ends. A prefix is set up under
# another name and renamed when ready, so an interrupted set-up leaves none.
start_wine() {
    export WINEPREFIX=$(cd "$BIN" && pwd)/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    trap cleanup_wine EXIT
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        local started ready=$WINEPREFIX
        started=$(now)
        rm -rf "$ready" "$ready.new"
        WINEPREFIX=$ready.new timeout 600 "$WINE" wineboot -i >"$WORK/wineboot.log" 2>&1 ||
            fail "wineboot: $(tail -5 "$WORK/wineboot.log")"
        WINEPREFIX=$ready.new "${WINE%64}server" -w 2>/dev/null || true
        mv "$ready.new" "$ready" || fail "cannot keep the Wine prefix"
        ok "wine prefix made in $(elapsed "$started") s"
    fi
}
cleanup_wine() {
    "${WINE%64}server" -k 2>/dev/null || wineserver -k 2>/dev/null || true
    cleanup
}

check() { "$WINE" "$DIR/kvo2_wincheck.exe" "$@"; }

# system_menu KEY...: opens the system menu of WINDOW with Alt+Space (real
# input), waits for it to show and presses KEY...
system_menu() {
    local before
    xdotool windowfocus --sync "$WINDOW" 2>/dev/null || true
    before=$(xdotool search --onlyvisible --name '' 2>/dev/null | wc -l)
    xdotool key alt+space
    for _ in $(seq 100); do
        [ "$(xdotool search --onlyvisible --name '' 2>/dev/null | wc -l)" -gt "$before" ] && break
        sleep 0.05
    done
    sleep 0.2
    xdotool key "$@"
}

# menu_zoom N UPS: picks the system menu entry UPS places from the bottom
# (the zoom entries are its last three) and checks the zoom.
menu_zoom() {
    local n=$1 ups=$2 keys=()
    for _ in $(seq "$ups"); do keys+=(Up); done
    system_menu "${keys[@]}" Return
    check zoom "$n" 10 >"$WORK/zoom.log" || fail "Zoom $n x $n from the system menu: $(cat "$WORK/zoom.log")"
}

# escape_ends PID: presses Escape in the window (WINDOW); the program (PID)
# must end with status 0 and its window must go.
escape_ends() {
    xdotool windowfocus --sync "$WINDOW" 2>/dev/null || true
    xdotool key Escape
    wait_exit "$1" 30
    [ "$EXIT_STATUS" = 0 ] || fail "Escape: exit status $EXIT_STATUS, want 0"
    check gone 10 || fail "the window is still there"
    ok "Escape ends the program with exit status 0"
}
