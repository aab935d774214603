#!/usr/bin/env bash
# A Windows program end to end, under Wine and Xvfb, checked from inside
# Windows by kvo2_wincheck and driven by real input:
#   wine.sh ARCH SOURCE-DIR BUILDS-DIR KVO2_XCHECK
# ARCH picks a line of the table below. The Windows build and the Wine prefix
# go to BUILDS-DIR, shared by every CMake preset (made once, locked while in
# use). The scenarios run in the order SCENARIOS names them (each is a
# function below); SOAK=SECONDS makes the window scenario a soak: before
# Escape, SECONDS of system-menu zooms, 1 x 1, minimising and restoring. The
# setup scenario runs the window scenario on the program it installed.
# MONITORS=1 runs Wine on Xorg's dummy driver with three monitors, for the
# monitors scenario (root only).
# Where the kernel runs no 32-bit x86 program (or KVO_NO_32BIT=1), the i686
# program's checks that run nothing (file, zip, the setup made) still run and
# the rest is skipped, in CI too: the test ends skipped, and the soak skips at
# once.
set -uo pipefail
ARCH=$1 SRC=$2 BUILDS=$3 XCHECK=$4
. "$(dirname "$0")/lib.sh"

# One line per Windows program: the MinGW-w64 target, the PE type, the Wine
# loader and prefix that run it, and its scenarios. The 32-bit Wine is
# started through qemu-i386, in a 32-bit prefix.
case $ARCH in
    x64) TRIPLE=x86_64 MAGIC=PE32+ LOADER=(/usr/lib/wine/wine64) PREFIX=$BUILDS/wine-prefix-x64 WINEARCH=win64
         SCENARIOS=${SCENARIOS:-file zip setup frames saver setting} ;;
    x86) TRIPLE=i686 MAGIC=PE32 LOADER=(qemu-i386 -L / /usr/lib/wine/wine) PREFIX=$BUILDS/wine-prefix-x86 WINEARCH=win32
         SCENARIOS=${SCENARIOS:-file zip setup frames setting} ;;
    *) fail "no Windows program $ARCH" ;;
esac
DIR=$BUILDS/windows-$TRIPLE exe=$BUILDS/windows-$TRIPLE/kvo2/kvo2.exe scr=$BUILDS/windows-$TRIPLE/kvo2/kvo2.scr
RUNS=1 SKIPPED=() NO_32BIT="this kernel runs no 32-bit x86 program"
if [ "$ARCH" = x86 ] && ! runs_x86_32; then
    [ -z "${SOAK:-}" ] || { echo "SKIP: the soak of the i686 program under Wine: $NO_32BIT"; exit $SKIP; }
    RUNS=0
fi
run_tools=("${LOADER[0]}" "${LOADER[-1]}" Xvfb xdotool pgrep "$XCHECK")
[ $RUNS = 1 ] || run_tools=()
need cmake cpack makensis flock "$TRIPLE-w64-mingw32-g++" x86_64-w64-mingw32-objdump wrestool icotool \
    /usr/bin/convert "${run_tools[@]}"
mkdir -p "$BUILDS"
# Held while the test runs; no child keeps it open (8>&-).
exec 8>"$DIR.lock"
flock 8
if ! { cmake -S "$SRC" -B "$DIR" -DCMAKE_TOOLCHAIN_FILE="$SRC/cmake/mingw-$TRIPLE.cmake" \
           -DCMAKE_BUILD_TYPE=Release -DKVO_TESTS=OFF -DKVO_TOOLS=OFF -DKVO_WINCHECK=ON &&
       cmake --build "$DIR" -j2; } >"$DIR.log" 2>&1; then
    cat "$DIR.log"
    fail "the $TRIPLE Windows build failed"
fi
VERSION=$(version "$DIR")

# pe FILE: FILE is an image of the program's PE type.
pe() { grep -q "^Magic.*($MAGIC)" <<<"$(x86_64-w64-mingw32-objdump -p "$1")"; }

# A program file: PE type, GUI, Windows' own DLLs only, the icon.
program_file() {
    local headers dlls foreign images image spots format want got
    headers=$(x86_64-w64-mingw32-objdump -p "$1")
    grep -q "^Magic.*($MAGIC)" <<<"$headers" || fail "not a $MAGIC image"
    grep -q '^Subsystem.*(Windows GUI)' <<<"$headers" || fail "not a GUI program"
    dlls=$(awk '/DLL Name:/ { print $3 }' <<<"$headers")
    foreign=$(grep -viE '^(KERNEL32|USER32|GDI32|WINMM|msvcrt)\.dll$' <<<"$dlls")
    [ -z "$foreign" ] || fail "needs DLLs beyond Windows' own: $foreign"
    ok "${1##*/}: $MAGIC GUI program needing only $(tr '\n' ' ' <<<"$dlls")"
    # The icon group IDI_MAIN and its images, as the program file holds them.
    wrestool -x -t14 -n IDI_MAIN "$1" >"$WORK/kvo2.ico" && [ -s "$WORK/kvo2.ico" ] || fail "no icon IDI_MAIN"
    images=$(icotool -l "$WORK/kvo2.ico" | sed 's/--index=[0-9]* //')
    [ "$images" = "--icon --width=32 --height=32 --bit-depth=4 --palette-size=16
--icon --width=16 --height=16 --bit-depth=4 --palette-size=16
--icon --width=32 --height=32 --bit-depth=1 --palette-size=2" ] || fail "icon images: $images"
    icotool -x -o "$WORK" "$WORK/kvo2.ico" || fail "icotool cannot read the icon"
    # Spots X,Y=RRGGBB: the border, the light and dark grey lines, a square's
    # edge and the red, green, blue and yellow squares; in the monochrome
    # image the border, a line, and dots and gaps of two patterns.
    while read -r image spots; do
        format=$(sed -E 's/([0-9]+),([0-9]+)=[0-9A-F]+/%[hex:p{\1,\2}]/g' <<<"$spots")
        want=$(sed -E 's/[0-9]+,[0-9]+=([0-9A-F]+)/\1FF/g' <<<"$spots")
        got=$(/usr/bin/convert "$WORK/kvo2_$image.png" -format "$format" info:)
        [ "$got" = "$want" ] || fail "icon $image, spots $spots: $got"
    done <<'SPOTS'
1_32x32x4 0,0=000000 1,1=C0C0C0 2,2=808080 3,8=000000 8,8=FF0000 23,8=00FF00 8,23=0000FF 23,23=FFFF00
2_16x16x4 0,0=000000 1,1=808080 4,4=FF0000 11,4=00FF00 4,11=0000FF 11,11=FFFF00
3_32x32x1 0,0=000000 1,1=FFFFFF 4,4=000000 5,4=FFFFFF 19,5=000000 18,4=FFFFFF
SPOTS
    ok "${1##*/}: icon IDI_MAIN: 32x32 and 16x16 in 16 colours, 32x32 monochrome, colours in place"
}

# version_info FILE DESCRIPTION: FILE's version resource holds the project's
# version, in the fixed part (file and product) and the strings, with Kvo's
# name, DESCRIPTION and a copyright.
version_info() {
    local a b c want fixed strings pair
    IFS=. read -r a b c <<<"$VERSION"
    want=$(printf 'feef04bd %04x%04x %04x0000 %04x%04x %04x0000' "$a" "$b" "$c" "$a" "$b" "$c")
    fixed=$(wrestool -x --raw -t16 "$1" | od -An -tx4 -w24 -j40 -N24 | awk '{ $2 = ""; print }' | xargs)
    [ "$fixed" = "$want" ] || fail "${1##*/}: fixed version $fixed, want $want"
    strings=$(wrestool -x --raw -t16 "$1" | tr -d '\0')
    for pair in ProductNameKvo "FileDescription$2" "FileVersion$VERSION" "ProductVersion$VERSION" \
        "LegalCopyrightCopyright (C) 2"; do
        grep -qF "$pair" <<<"$strings" || fail "${1##*/}: no $pair in the version resource"
    done
    ok "${1##*/}: version resource $VERSION, \"$2\""
}

# The program and the screen saver, which names itself Kvo (string 1).
scenario_file() {
    program_file "$exe"
    program_file "$scr"
    wrestool -x --raw -t6 -n1 "$scr" | tr -d '\0' | grep -q Kvo || fail "kvo2.scr: no name Kvo in its strings"
    ok "kvo2.scr: named Kvo"
    version_info "$exe" Kvo
    version_info "$scr" "Kvo screen saver"
}

# The zip for Windows users (cpack): one folder with the program, of the
# right PE type, its note and the licence (LICENSE with Windows line ends).
scenario_zip() {
    local files="LICENSE.txt README.txt kvo2.exe kvo2.scr" zip top listing
    pack ZIP "$DIR"
    zip=$(ls "$WORK"/ZIP/kvo-*-windows-"$ARCH".zip) || fail "no kvo-VERSION-windows-$ARCH.zip"
    top=$(basename "$zip" .zip)
    listing=$(cmake -E tar tf "$zip" | LC_ALL=C sort | tr '\n' ' ')
    [ "$listing" = "$(printf "$top/%s\n" $files | LC_ALL=C sort | tr '\n' ' ')" ] ||
        fail "$zip holds $listing, want $files"
    (cd "$WORK/ZIP" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
    pe "$WORK/ZIP/$top/kvo2.exe" || fail "$zip: kvo2.exe is not $MAGIC"
    cmp -s <(sed 's/$/\r/' "$SRC/LICENSE") "$WORK/ZIP/$top/LICENSE.txt" ||
        fail "$zip: LICENSE.txt is not LICENSE with Windows line ends"
    ok "$top.zip: $files, kvo2.exe $MAGIC, LICENSE.txt the licence"
}

# wine_up: Wine on an X server, once. A fresh prefix takes seconds to a
# minute: it is made under another name and renamed when ready.
wine_up() {
    [ -n "${WINE_UP:-}" ] && return 0
    WINE_UP=1
    if [ -n "${MONITORS:-}" ]; then
        # Wine reads the monitors as its server starts (and follows only
        # the changes that it makes itself): they are arranged first, and no
        # Wine server of the prefix may linger from an earlier test.
        wineserver -k 2>/dev/null 8>&-
        wineserver -w 8>&-
        start_xorg
        three_monitors
        # Asked for the monitors once (so that the server lists them as
        # current), before Wine asks.
        xrandr --listmonitors >/dev/null
    else
        start_xvfb
    fi
    export WINEPREFIX=$PREFIX WINEARCH WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    AT_EXIT+=("wineserver -k")
    [ -f "$PREFIX/system.reg" ] && return 0
    rm -rf "$PREFIX" "$PREFIX.new"
    WINEPREFIX=$PREFIX.new timeout 600 "${LOADER[@]}" wineboot -i >"$WORK/wineboot.log" 2>&1 8>&- ||
        fail "wineboot: $(tail -5 "$WORK/wineboot.log")"
    WINEPREFIX=$PREFIX.new wineserver -w 8>&-
    mv "$PREFIX.new" "$PREFIX" || fail "cannot keep the Wine prefix"
    ok "Wine prefix made"
}
win() { "${LOADER[@]}" "$@" 8>&-; }
check() { win "$DIR/kvo2_wincheck.exe" "$@"; }

# Frames drawn by the Windows build, with every kernel set the processor
# has, are the golden frames to the bit.
scenario_frames() {
    local golden=$SRC/tests/golden/frames.txt set t hash want
    wine_up
    # shellcheck disable=SC2046
    check frames $(awk '{ print $1 }' "$golden") | tr -d '\r' >"$WORK/frames.txt"
    [ -s "$WORK/frames.txt" ] || fail "kvo2_wincheck.exe frames printed nothing"
    while read -r set t hash; do
        want=$(awk -v t="$t" '$1 == t { print $2 }' "$golden")
        [ "$hash" = "$want" ] || fail "the $set frame at t = $t is $hash, the golden one $want"
    done <"$WORK/frames.txt"
    ok "frames equal the golden ones ($(awk '{ print $1 }' "$WORK/frames.txt" | sort -u | tr '\n' ' '))"
}

# system_menu KEY...: opens the window's system menu with Alt+Space, waits for
# it to show and presses KEY...
system_menu() {
    local before
    xdotool windowfocus --sync "$WINDOW" 2>/dev/null
    before=$(xdotool search --onlyvisible --name '' 2>/dev/null | wc -l)
    xdotool key alt+space
    within 5 eval '[ "$(xdotool search --onlyvisible --name "" 2>/dev/null | wc -l)" -gt "$before" ]'
    sleep 0.2
    xdotool key "$@"
}
# menu_zoom N UPS: picks the menu entry UPS places from the bottom (the zoom
# entries are the last three); the window must be N times its zoom-1 size.
menu_zoom() {
    local keys=()
    for _ in $(seq "$2"); do keys+=(Up); done
    # A menu that did not open in time (Wine under load) gets one more try;
    # its keys went to the window, which ignores them.
    system_menu "${keys[@]}" Return
    check zoom "$1" 10 >"$WORK/zoom.log" && return 0
    system_menu "${keys[@]}" Return
    check zoom "$1" 10 >"$WORK/zoom.log" || fail "Zoom $1 x $1 from the system menu: $(cat "$WORK/zoom.log")"
}
client_shot() {
    read -r cx cy cw ch <<<"$(check client | tr -d '\r')"
    shot "$1" 32 root "$cx" "$cy" "$cw" "$ch"
}

# The window: class, styles, size, centring and titles; the picture; the system menu's zooms; [soak]; Escape.
scenario_window() {
    wine_up
    # The checker waits for the window and reads its first title at once.
    check open 120 >"$WORK/open.log" 2>&1 &
    local checker=$! status=0 launched
    start window win "$exe"
    wait $checker || status=$?
    cat "$WORK/open.log"
    [ $status = 0 ] || fail "the window did not open as it should"
    client_shot zoom1
    menu_zoom 4 1
    menu_zoom 2 2
    sleep 0.5   # the grown window gets its picture with the next frame
    client_shot zoom2
    menu_zoom 1 3
    ok "Zoom 4, 2 and 1 from the system menu: N times the zoom-1 outer size, centred"
    # A zoom command without a factor (0x400, 0x408) leaves the window as it is.
    for id in 0x400 0x408; do
        check syscommand $id && check zoom 1 2 >/dev/null || fail "system command $id changed the window"
    done
    ok "zoom commands with factor 0 are ignored"
    if [ -n "${SOAK:-}" ]; then
        launched=$PID
        # The Wine process that runs the program: its memory is the program's.
        # Found by its full path, not another worktree's or test's kvo2.exe.
        PID=$(pgrep -n -f "^$exe") || fail "no process for $exe"
        soak "$SOAK" 2 0 <<'STEPS'
menu_zoom 4 1
xdotool windowsize "$WINDOW" 1 1
sleep 0.2
system_menu n
[ "$(check client | tr -d '\r' | cut -d' ' -f3-)" = "0 0" ] || fail "minimised: client area not 0 x 0"
sleep 0.3
system_menu r
menu_zoom 1 3
STEPS
        client_shot soak-end
        PID=$launched
    fi
    xdotool windowfocus --sync "$WINDOW" 2>/dev/null
    xdotool key Escape
    wait_exit "$PID" 30 0 Escape
    check gone 10 || fail "the window is still there"
}

# saver_screen SCR END: SCR /s covers the screen with the frame, outlives a
# mouse move of two pixels and ends with status 0 on END (xdotool's words).
saver_screen() {
    xdotool mousemove 100 100
    start saver win "$1" /s
    check screen 60 || fail "/s: the window is not as it should be"
    shot "/s" 32 "$WINDOW" 0 37 2700 2025
    xdotool mousemove 102 102
    sleep 1
    kill -0 $PID 2>/dev/null || fail "/s ended on a move of two pixels"
    xdotool $2
    wait_exit $PID 30 0 "/s, $2"
}

# The screen saver: /s over the whole screen, the frame at 4:3 between black
# bars, ended with status 0 by a key or by the mouse moving away (not by a
# move of two pixels); /p a child filling a window of the test's own, and
# following it, ended with status 0 when that window closes; /c, nothing and
# anything else a message box; a preview window that does not exist status 1.
scenario_saver() {
    local end host status args
    wine_up
    for end in "key a" "mousemove 160 100"; do saver_screen "$scr" "$end"; done
    check host 320 200 60 >"$WORK/host" &
    host=$!
    PIDS+=($host)
    for _ in $(seq 600); do grep -q '^[0-9]' "$WORK/host" && break; sleep 0.1; done
    spawn preview win "$scr" /p "$(grep -m1 '^[0-9]' "$WORK/host" | tr -d '\r')"
    wait $host || fail "/p: $(cat "$WORK/host")"
    ok "/p: a child of the window, 320 x 200, then 160 x 200 with it"
    wait_exit $PID 30 0 "/p, its window closed"
    for args in /c "" /x "/s now"; do
        check box 60 >"$WORK/box" &
        host=$!
        status=0
        # shellcheck disable=SC2086
        timeout 90 "${LOADER[@]}" "$scr" $args 8>&- || status=$?
        wait $host || fail "kvo2.scr $args: $(cat "$WORK/box")"
        [ $status = 0 ] || fail "kvo2.scr $args: exit status $status after the message box"
        ok "kvo2.scr $args: a message box, then exit status 0"
    done
    for args in "/p 12345" /p:0 "/p x"; do
        status=0
        # shellcheck disable=SC2086
        timeout 60 "${LOADER[@]}" "$scr" $args 8>&- || status=$?
        [ $status = 1 ] || fail "kvo2.scr $args: exit status $status, want 1"
    done
    ok "a preview window that does not exist: exit status 1"
}

# active: the screen-saver setting, as another process reads it.
active() { check active | tr -d '\r'; }

# open_another: starts one more window of the program, as PID, WINDOW the
# X window that was not there before.
open_another() {
    local before
    before=$(xdotool search --name '^Kvo' 2>/dev/null | sort)
    spawn another win "$exe"
    within 60 eval '[ -n "$(comm -13 <(echo "$before") <(xdotool search --name "^Kvo" 2>/dev/null | sort))" ]' ||
        fail "no second window titled Kvo"
    WINDOW=$(comm -13 <(echo "$before") <(xdotool search --name '^Kvo' 2>/dev/null | sort) | head -n1)
    # Beside the other window, not over it: each can be clicked.
    [ -z "$before" ] || xdotool windowmove "$WINDOW" 0 0
    # Held off once the window is open.
    within 30 eval '[ "$(active)" = 0 ]' || fail "the screen saver is still on with a window open"
}

# close_window PID WINDOW: a click in the window, which makes it the active
# one, then Escape; its process ends with 0.
close_window() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$2")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
    sleep 0.2
    xdotool key Escape
    wait_exit "$1" 30 0 "Escape"
}

# The user's screen-saver setting: off while any Kvo window is open, and
# after the last one closes, what it was before the first opened, whether it
# was on or off; two windows that overlap (in two processes, closed in
# either order) included.
scenario_setting() {
    local user first second
    wine_up
    for user in 0 1; do
        [ "$(check activate $user | tr -d "\r")" = $user ] || fail "cannot set the screen-saver setting to $user"
        open_another
        close_window $PID "$WINDOW"
        [ "$(active)" = $user ] || fail "setting $user before, $(active) after the window closed"
        ok "screen saver $user before one window, off while it is open, $user after"
        open_another
        first=$PID:$WINDOW
        open_another
        second=$PID:$WINDOW
        # With 0, the second closes first; with 1, the first.
        [ $user = 0 ] || { local t=$first; first=$second second=$t; }
        close_window "${second%%:*}" "${second#*:}"
        [ "$(active)" = 0 ] || fail "a window still open, but the screen saver is on again"
        close_window "${first%%:*}" "${first#*:}"
        [ "$(active)" = $user ] || fail "setting $user before two windows, $(active) after both closed"
        ok "screen saver $user before two overlapping windows, off until the last closed, $user after"
    done
    # The screen saver's own modes leave the setting alone.
    check activate 1 >/dev/null
    xdotool mousemove 100 100
    start saver win "$scr" /s
    check screen 60 >/dev/null || fail "/s: the window is not as it should be"
    [ "$(active)" = 1 ] || fail "/s switched the screen saver off"
    xdotool key a
    wait_exit $PID 30 0 "/s, a key"
    [ "$(active)" = 1 ] || fail "/s changed the screen-saver setting"
    ok "/s leaves the setting alone"
}

# Three monitors side by side, of different sizes, one of them portrait and
# one left of the primary (negative coordinates on Windows' desktop): /s
# shows the frame on each, centred in it between black bars, every monitor
# the same frame.
scenario_monitors() {
    local want
    wine_up
    want=$'-800 0 800 600\n0 0 1024 768\n1024 0 600 800'
    # Wine's desktop process may take a moment to read them.
    within 30 eval '[ "$(check monitors | tr -d "\r" | sort -n)" = "$(sort -n <<<"$want")" ]' ||
        fail "Wine's monitors: $(check monitors | tr '\r\n' '; '), want $(tr '\n' ';' <<<"$want")"
    ok "Wine sees three monitors, one left of the primary"
    xdotool mousemove 1000 300
    start saver win "$scr" /s
    check screen 60 || fail "/s: the window is not as it should be"
    pictures 32 "${THREE[@]}"
    # Told that the display changed, it reads the monitors again and
    # repaints every bar: the same pictures.
    check displaychange || fail "WM_DISPLAYCHANGE was not handled"
    pictures 32 "${THREE[@]}"
    xdotool key a
    wait_exit $PID 30 0 "/s on three monitors, a key"
}

# changes: what the setup scenario's prefix holds beyond the shared one, once
# Wine has written its registry: files and folders (Windows' temporary files
# aside) and registry keys (Wine writes the keys that have values or no
# subkeys).
changes() {
    wineserver -w 8>&-
    comm -13 <(contents "$PREFIX") <(contents "$WINEPREFIX")
}
contents() {
    (cd "$1" && find drive_c -path '*/Temp' -prune -o -print && grep -o '^\[[^]]*\]' system.reg user.reg) |
        LC_ALL=C sort
}

# The setup program, of the program's PE type, with the licence page; in a
# copy of the shared prefix (where it can run): setup /S, waiting for no
# click on any page, installs exactly its files, shortcuts and keys (the
# licence among them), and the uninstaller's entry holds
# Kvo's name, version, publisher and icon; the installed program passes the
# window scenario and the installed saver starts with /s; Uninstall.exe /S
# leaves nothing behind.
scenario_setup() {
    local setup installed='C:\Program Files\Kvo' reg name want saver
    pack NSIS "$DIR"
    setup=$(ls "$WORK"/NSIS/kvo-*-windows-"$ARCH".exe) || fail "no kvo-VERSION-windows-$ARCH.exe"
    version_info "$setup" "Kvo setup"
    pe "$setup" || fail "${setup##*/} is not $MAGIC"
    # Its pages, as the script makensis built it from lists them: the
    # licence, LICENSE.txt, among them.
    grep -qxF "  !insertmacro MUI_PAGE_LICENSE \"$DIR/kvo2/windows/LICENSE.txt\"" \
        "$WORK"/NSIS/_CPack_Packages/*/NSIS/project.nsi || fail "${setup##*/}: no licence page"
    ok "${setup##*/}: $MAGIC, shows the licence"
    [ $RUNS = 1 ] || { SKIPPED+=("setup /S and what it installs"); return 0; }
    wine_up
    wineserver -w 8>&-
    cp -a "$PREFIX" "$WORK/prefix" || fail "cannot copy the Wine prefix"
    export WINEPREFIX=$WORK/prefix
    AT_EXIT+=("WINEPREFIX=$WINEPREFIX wineserver -k")
    win "$setup" /S || fail "${setup##*/} /S: exit status $?"
    [ "$(changes)" = "$(cat <<'NEW'
drive_c/Program Files/Kvo
drive_c/Program Files/Kvo/LICENSE.txt
drive_c/Program Files/Kvo/README.txt
drive_c/Program Files/Kvo/Uninstall.exe
drive_c/Program Files/Kvo/kvo2.exe
drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kvo
drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kvo/Kvo.lnk
drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kvo/Uninstall.lnk
drive_c/windows/system32/kvo2.scr
system.reg:[Software\\Kvo\\Kvo]
system.reg:[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kvo]
NEW
)" ] || fail "${setup##*/} /S made:"$'\n'"$(changes)"
    pe "$WINEPREFIX/drive_c/Program Files/Kvo/Uninstall.exe" || fail "Uninstall.exe is not $MAGIC"
    ok "${setup##*/} /S, no page: the programs, the note, the licence, the $MAGIC uninstaller, the Start menu folder, the keys"
    reg=$(win reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kvo' | tr -d '\r')
    while read -r name want; do
        grep -qxF "    $name    REG_SZ    $want" <<<"$reg" || fail "uninstall entry: no $name $want in"$'\n'"$reg"
    done <<VALUES
DisplayName Kvo
DisplayVersion $VERSION
Publisher Kvo
DisplayIcon $installed\kvo2.exe
UninstallString "$installed\Uninstall.exe"
VALUES
    tr -d '\0' <"$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kvo/Kvo.lnk" |
        grep -qF "$installed\kvo2.exe" || fail "the Start menu's Kvo does not start $installed\kvo2.exe"
    ok "uninstall entry: Kvo $VERSION by Kvo, the icon of kvo2.exe; the Start menu starts kvo2.exe"
    exe="$WINEPREFIX/drive_c/Program Files/Kvo/kvo2.exe" scenario_window
    saver_screen "$WINEPREFIX/drive_c/windows/system32/kvo2.scr" "key a"
    # The user's choice of screen saver is the user's, even when it has gone.
    saver='HKCU\Control Panel\Desktop'
    win reg add "$saver" /v SCRNSAVE.EXE /d 'C:\windows\system32\kvo2.scr' /f >/dev/null || fail "reg add"
    win "$WINEPREFIX/drive_c/Program Files/Kvo/Uninstall.exe" /S || fail "Uninstall.exe /S: exit status $?"
    [ -z "$(changes)" ] || fail "Uninstall.exe /S left:"$'\n'"$(changes)"
    win reg query "$saver" /v SCRNSAVE.EXE | grep -qF 'kvo2.scr' || fail "Uninstall.exe /S changed SCRNSAVE.EXE"
    ok "Uninstall.exe /S: nothing left behind; the screen saver setting as the user left it"
    export WINEPREFIX=$PREFIX
}

for scenario in $SCENARIOS; do
    case $RUNS,$scenario in
        1,* | 0,file | 0,zip | 0,setup) "scenario_$scenario" ;;
        *) SKIPPED+=("$scenario") ;;
    esac
done
if [ ${#SKIPPED[@]} != 0 ]; then
    printf -v list '%s, ' "${SKIPPED[@]}"
    echo "SKIP: ${list%, } (32-bit Wine): $NO_32BIT"
    exit $SKIP
fi
echo PASS
