#!/usr/bin/env bash
# A Windows program under Wine and Xvfb, driven by real input and checked from inside by
# kvo2_wincheck:  wine.sh ARCH SOURCE-DIR BUILDS-DIR KVO2_XCHECK  (BUILDS-DIR: ARCH's build and
# prefix, shared, locked). SCENARIOS names the scenarios (below); SOAK=SECONDS soaks the window;
# MONITORS=1, Xorg's dummy driver with three monitors (root). Where the kernel runs no 32-bit x86
# program, the i686 checks that run nothing still run, then a skip (in CI too).
set -uo pipefail
ARCH=$1 SRC=$2 BUILDS=$3 XCHECK=$4
. "$(dirname "$0")/lib.sh"

# Per Windows program: target, PE type, Wine loader and prefix, scenarios.
case $ARCH in
    x64) TRIPLE=x86_64 MAGIC=PE32+ LOADER=(/usr/lib/wine/wine64) PREFIX=$BUILDS/wine-prefix-x64 WINEARCH=win64
         SCENARIOS=${SCENARIOS:-file zip setup frames saver setting scale} ;;
    x86) TRIPLE=i686 MAGIC=PE32 LOADER=(qemu-i386 -L / /usr/lib/wine/wine) PREFIX=$BUILDS/wine-prefix-x86 WINEARCH=win32
         SCENARIOS=${SCENARIOS:-file zip setup frames setting scale} ;;
    *) fail "no Windows program $ARCH" ;;
esac
DIR=$BUILDS/windows-$TRIPLE exe=$BUILDS/windows-$TRIPLE/kvo2/kvo2.exe scr=$BUILDS/windows-$TRIPLE/kvo2/kvo2.scr
RUNS=1 SKIPPED=() NO_32BIT="this kernel runs no 32-bit x86 program" END_S=30
if [ "$ARCH" = x86 ] && ! runs_x86_32; then
    [ -z "${SOAK:-}" ] || skip "the soak of the i686 program under Wine: $NO_32BIT"
    RUNS=0
fi
run_tools=("${LOADER[0]}" "${LOADER[-1]}" Xvfb xdotool pgrep "$XCHECK")
[ $RUNS = 1 ] || run_tools=()
need cmake cpack makensis flock python3 "$TRIPLE-w64-mingw32-g++" x86_64-w64-mingw32-objdump wrestool icotool \
    /usr/bin/convert "${run_tools[@]}"
mkdir -p "$BUILDS"
# Held while the test runs; no child keeps it open (8>&-).
exec 8>"$DIR.lock"
flock 8
{ cmake -S "$SRC" -B "$DIR" -DCMAKE_TOOLCHAIN_FILE="$SRC/cmake/mingw-$TRIPLE.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DKVO_TESTS=OFF -DKVO_TOOLS=OFF -DKVO_WINCHECK=ON &&
  cmake --build "$DIR" -j2; } >"$DIR.log" 2>&1 || fail "the $TRIPLE Windows build failed:"$'\n'"$(cat "$DIR.log")"
VERSION=$(version "$DIR")

pe() { grep -q "^Magic.*($MAGIC)" <<<"$(x86_64-w64-mingw32-objdump -p "$1")" || fail "${1##*/} is not $MAGIC"; }

# A program file: PE type, GUI, Windows' own DLLs only, the icon.
program_file() {
    local headers dlls foreign images image spots format want got
    pe "$1"
    headers=$(x86_64-w64-mingw32-objdump -p "$1")
    grep -q '^Subsystem.*(Windows GUI)' <<<"$headers" || fail "not a GUI program"
    dlls=$(awk '/DLL Name:/ { print $3 }' <<<"$headers")
    foreign=$(grep -viE '^(KERNEL32|USER32|GDI32|WINMM|msvcrt)\.dll$' <<<"$dlls")
    [ -z "$foreign" ] || fail "needs DLLs beyond Windows' own: $foreign"
    ok "${1##*/}: $MAGIC GUI program needing only $(tr '\n' ' ' <<<"$dlls")"
    wrestool -x -t14 -n IDI_MAIN "$1" >"$WORK/kvo2.ico" && [ -s "$WORK/kvo2.ico" ] || fail "no icon IDI_MAIN"
    images=$(icotool -l "$WORK/kvo2.ico" | sed 's/--index=[0-9]* //')
    [ "$images" = "--icon --width=32 --height=32 --bit-depth=4 --palette-size=16
--icon --width=16 --height=16 --bit-depth=4 --palette-size=16
--icon --width=32 --height=32 --bit-depth=1 --palette-size=2" ] || fail "icon images: $images"
    icotool -x -o "$WORK" "$WORK/kvo2.ico" || fail "icotool cannot read the icon"
    # Spots X,Y=RRGGBB: the border, the grey lines, a square's edge, the four
    # squares; in the monochrome image the border, a line, two patterns.
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

# manifest FILE: FILE's application manifest (RT_MANIFEST 1), well formed: aware of each
# monitor's scale (v2, v1, true/pm before Windows 10), Windows Vista to 11, the invoker's rights.
manifest() {
    local got
    got=$(wrestool -x --raw -t24 -n1 "$1" | python3 -c '
import sys, xml.etree.ElementTree as T
n = {"a": "urn:schemas-microsoft-com:asm.v1", "c": "urn:schemas-microsoft-com:compatibility.v1",
     "v": "urn:schemas-microsoft-com:asm.v3", "w": "http://schemas.microsoft.com/SMI/2016/WindowsSettings",
     "o": "http://schemas.microsoft.com/SMI/2005/WindowsSettings"}
r = T.fromstring(sys.stdin.buffer.read())
s = "v:application/v:windowsSettings/"
print(r.tag, r.get("manifestVersion"), r.findtext(s + "w:dpiAwareness", "", n), r.findtext(s + "o:dpiAware", "", n), sep="|")
print(*sorted(e.get("Id") for e in r.iterfind("c:compatibility/c:application/c:supportedOS", n)))
print(r.find("v:trustInfo/v:security/v:requestedPrivileges/v:requestedExecutionLevel", n).attrib)' 2>&1) ||
        fail "${1##*/}: no well-formed application manifest: $got"
    [ "$got" = "{urn:schemas-microsoft-com:asm.v1}assembly|1.0|PerMonitorV2, PerMonitor|true/pm
{1f676c76-80e1-4239-95bb-83d0f6d0da78} {35138b9a-5d96-4fbd-8e2d-a2440225f93a} \
{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38} {8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a} {e2011457-1546-43c5-a5fe-008deee3d3f0}
{'level': 'asInvoker', 'uiAccess': 'false'}" ] || fail "${1##*/}: application manifest:"$'\n'"$got"
    ok "${1##*/}: manifest aware of each monitor's scale (PerMonitorV2, PerMonitor; true/pm), Windows Vista to 11"
}

# version_info FILE DESCRIPTION: FILE's version resource holds the version
# (fixed part and strings), Kvo's name, DESCRIPTION and a copyright.
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

# The program and the screen saver (named Kvo, string 1), each with its version and manifest.
scenario_file() {
    program_file "$exe"
    program_file "$scr"
    wrestool -x --raw -t6 -n1 "$scr" | tr -d '\0' | grep -q Kvo || fail "kvo2.scr: no name Kvo in its strings"
    ok "kvo2.scr: named Kvo"
    version_info "$exe" Kvo
    version_info "$scr" "Kvo screen saver"
    manifest "$exe"
    manifest "$scr"
}

# The zip: one folder with the programs, the note and LICENSE (Windows line ends).
scenario_zip() {
    local files="LICENSE.txt README.txt kvo2.exe kvo2.scr" zip top listing
    pack ZIP "$DIR"
    zip=$(ls "$WORK"/ZIP/kvo-*-windows-"$ARCH".zip) || fail "no kvo-VERSION-windows-$ARCH.zip"
    top=$(basename "$zip" .zip)
    listing=$(cmake -E tar tf "$zip" | LC_ALL=C sort | tr '\n' ' ')
    [ "$listing" = "$(printf "$top/%s\n" $files | LC_ALL=C sort | tr '\n' ' ')" ] ||
        fail "$zip holds $listing, want $files"
    (cd "$WORK/ZIP" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
    pe "$WORK/ZIP/$top/kvo2.exe"
    cmp -s <(sed 's/$/\r/' "$SRC/LICENSE") "$WORK/ZIP/$top/LICENSE.txt" ||
        fail "$zip: LICENSE.txt is not LICENSE with Windows line ends"
    ok "$top.zip: $files, kvo2.exe $MAGIC, LICENSE.txt the licence"
}

# wine_up: Wine on an X server, once; a fresh prefix (up to a minute) is made
# under another name and renamed when ready.
wine_up() {
    [ -n "${WINE_UP:-}" ] && return 0
    WINE_UP=1
    if [ -n "${MONITORS:-}" ]; then
        # Wine reads the monitors as its server starts: no Wine server may linger,
        # and they are arranged and listed (made current) before it starts.
        wineserver -k 2>/dev/null 8>&-
        wineserver -w 8>&-
        start_xorg
        three_monitors
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
# check COMMAND...: kvo2_wincheck, its lines without CR, each as it comes.
check() { win "$DIR/kvo2_wincheck.exe" "$@" | sed -u 's/\r$//'; }

# The Windows build's frames, by every kernel set the processor has, are the golden ones.
scenario_frames() {
    local golden=$SRC/tests/golden/frames.txt set t hash want
    wine_up
    # shellcheck disable=SC2046
    check frames $(awk '{ print $1 }' "$golden") >"$WORK/frames.txt"
    [ -s "$WORK/frames.txt" ] || fail "kvo2_wincheck.exe frames printed nothing"
    while read -r set t hash; do
        want=$(awk -v t="$t" '$1 == t { print $2 }' "$golden")
        [ "$hash" = "$want" ] || fail "the $set frame at t = $t is $hash, the golden one $want"
    done <"$WORK/frames.txt"
    ok "frames equal the golden ones ($(awk '{ print $1 }' "$WORK/frames.txt" | sort -u | tr '\n' ' '))"
}

# Wine's keyboard input goes to Windows' foreground window, whatever X's focus.
owns_keys() { check foreground "$WINDOW" 10 >"$WORK/owner" || fail "keys meant for window $WINDOW: $(cat "$WORK/owner")"; }

# system_menu KEY...: opens the system menu (Alt+Space), waits for it, presses KEY...
system_menu() {
    local before
    before=$(xdotool search --onlyvisible --name '' 2>/dev/null | wc -l)
    press alt+space
    within 10 eval '[ "$(xdotool search --onlyvisible --name "" 2>/dev/null | wc -l)" -gt "$before" ]'
    sleep 0.2
    xdotool key "$@"
}
# menu_zoom N UPS [X Y W H]: the entry UPS places from the bottom makes the window N times its
# zoom-1 size, centred on the monitor at X Y W H (the primary). A menu not open in time (Wine
# under load) gets one more try: its keys went to the window, which ignores them.
menu_zoom() {
    local keys=()
    for _ in $(seq "$2"); do keys+=(Up); done
    for _ in 1 2; do
        system_menu "${keys[@]}" Return
        check zoom "$1" "${@:3}" 10 >"$WORK/zoom.log" && return 0
    done
    fail "Zoom $1 x $1 from the system menu: $(cat "$WORK/zoom.log")"
}
client_shot() {
    read -r cx cy cw ch <<<"$(check client)"
    shot "$1" root "$cx" "$cy" "$cw" "$ch"
}

# The window: class, styles, size, centring, titles; picture; system menu's zooms; [soak]; Escape.
scenario_window() {
    wine_up
    # The checker waits for the window and reads its first title at once.
    check open 120 >"$WORK/open.log" 2>&1 &
    local checker=$! launched
    start window win "$exe"
    wait $checker || fail "the window did not open as it should:"$'\n'"$(cat "$WORK/open.log")"
    cat "$WORK/open.log"
    [ "$(check dpi)" = "${DPI:-96}" ] || fail "the window's dots per inch: $(check dpi), want ${DPI:-96}"
    client_shot zoom1
    menu_zoom 4 1
    menu_zoom 2 2
    # The grown window gets its picture with the next frame.
    RETRY='[13]' client_shot zoom2
    menu_zoom 1 3
    ok "Zoom 4, 2 and 1 from the system menu: N times the zoom-1 outer size, centred"
    # A zoom command without a factor (0x400, 0x408) leaves the window as it is.
    for id in 0x400 0x408; do
        check syscommand $id && check zoom 1 2 >/dev/null || fail "system command $id changed the window"
    done
    ok "zoom commands with factor 0 are ignored"
    if [ -n "${SOAK:-}" ]; then
        launched=$PID
        # The Wine process of the program (by full path: not another test's).
        PID=$(pgrep -n -f "^$exe") || fail "no process for $exe"
        soak "$SOAK" 2 0 <<'STEPS'
menu_zoom 4 1
xdotool windowsize "$WINDOW" 1 1; sleep 0.2
system_menu n
within 10 eval '[ "$(check client | cut -d" " -f3-)" = "0 0" ]' || fail "minimised: client area not 0 x 0"
system_menu r
menu_zoom 1 3
STEPS
        client_shot soak-end
        PID=$launched
    fi
    ends Escape press Escape
    check gone 10 || fail "the window is still there"
}

# saver_on SCR X Y: SCR /s, the mouse at X, Y: its window as `check screen` wants.
saver_on() {
    xdotool mousemove "$2" "$3"
    start saver win "$1" /s
    check screen 60 || fail "/s: the window is not as it should be"
}
# saver_screen SCR END: SCR /s shows the frame, outlives a 2-pixel move, ends with 0 on END.
saver_screen() {
    saver_on "$1" 100 100
    shot "/s" "$WINDOW" 0 37 2700 2025
    xdotool mousemove --sync 102 102
    next_titles 2
    kill -0 $PID 2>/dev/null || fail "/s ended on a move of two pixels"
    ends "/s, $2" $2
}

# The screen saver: /s ended by a key or the mouse moving away; /p a child
# filling and following a window, status 0 when it closes; /c, nothing and
# anything else a message box, then status 0; /p of no window, status 1.
scenario_saver() {
    local end host status args want
    wine_up
    for end in "press a" "xdotool mousemove 160 100"; do saver_screen "$scr" "$end"; done
    check host 320 200 60 >"$WORK/host" &
    host=$!
    PIDS+=($host)
    within 60 grep -q '^[0-9]' "$WORK/host"
    spawn preview win "$scr" /p "$(grep -m1 '^[0-9]' "$WORK/host")"
    wait $host || fail "/p: $(cat "$WORK/host")"
    ok "/p: a child of the window, 320 x 200, then 160 x 200 with it"
    wait_exit $PID 30 0 "/p, its window closed"
    for args in /c "" /x "/s now" "/p 12345" /p:0 "/p x"; do
        want=0 host=
        if [[ $args == /p* ]]; then want=1; else check box 60 >"$WORK/box" & host=$!; fi
        status=0
        # shellcheck disable=SC2086
        timeout 90 "${LOADER[@]}" "$scr" $args 8>&- || status=$?
        [ -z "$host" ] || wait $host || fail "kvo2.scr $args: $(cat "$WORK/box")"
        [ $status = $want ] || fail "kvo2.scr $args: exit status $status, want $want"
        ok "kvo2.scr $args: ${host:+a message box, then }exit status $want"
    done
}

# open_another: one more window, as PID and WINDOW; the screen saver held off once it is open.
open_another() {
    local before
    before=$(xdotool search --name '^Kvo' 2>/dev/null | sort)
    spawn another win "$exe"
    within 60 eval 'WINDOW=$(comm -13 <(echo "$before") <(xdotool search --name "^Kvo" 2>/dev/null | sort) | head -n1)
        [ -n "$WINDOW" ]' || fail "no second window titled Kvo"
    within 30 eval '[ "$(check active)" = 0 ]' || fail "the screen saver is still on with a window open"
}

# close_window PID:WINDOW: Escape to that window ends its process with 0.
close_window() {
    local PID=${1%%:*} WINDOW=${1#*:}
    ends Escape press Escape
}

# The screen-saver setting: off while any window is open (two processes,
# closed in either order), then as it was (on or off); /s leaves it alone.
scenario_setting() {
    local user first second
    wine_up
    for user in 0 1; do
        [ "$(check activate $user)" = $user ] || fail "cannot set the screen-saver setting to $user"
        open_another
        close_window "$PID:$WINDOW"
        [ "$(check active)" = $user ] || fail "setting $user before, $(check active) after the window closed"
        ok "screen saver $user before one window, off while it is open, $user after"
        open_another
        first=$PID:$WINDOW
        open_another
        second=$PID:$WINDOW
        # With 0, the second closes first; with 1, the first.
        [ $user = 0 ] || { local t=$first; first=$second second=$t; }
        close_window "$second"
        [ "$(check active)" = 0 ] || fail "a window still open, but the screen saver is on again"
        close_window "$first"
        [ "$(check active)" = $user ] || fail "setting $user before two windows, $(check active) after both closed"
        ok "screen saver $user before two overlapping windows, off until the last closed, $user after"
    done
    check activate 1 >/dev/null
    saver_on "$scr" 100 100
    [ "$(check active)" = 1 ] || fail "/s switched the screen saver off"
    ends "/s, a key" press a
    [ "$(check active)" = 1 ] || fail "/s changed the screen-saver setting"
    ok "/s leaves the setting alone"
}

# Three monitors of different sizes, one portrait, one left of the primary
# (negative coordinates on Windows' desktop): /s shows the same frame centred
# on each between black bars, also after WM_DISPLAYCHANGE.
scenario_monitors() {
    local want
    wine_up
    want=$'-800 0 800 600\n0 0 1024 768\n1024 0 600 800'
    # Wine's desktop process may take a moment to read them.
    within 30 eval '[ "$(check monitors | sort -n)" = "$(sort -n <<<"$want")" ]' ||
        fail "Wine's monitors: $(check monitors | tr '\n' ';'), want $(tr '\n' ';' <<<"$want")"
    ok "Wine sees three monitors, one left of the primary"
    saver_on "$scr" 1000 300
    pictures "${THREE[@]}"
    check displaychange || fail "WM_DISPLAYCHANGE was not handled"
    pictures "${THREE[@]}"
    ends "/s on three monitors, a key" press a
    # Zoom 1 centres the window on its monitor (Zoom 2 is taller than Windows lets it be here).
    start window win "$exe"
    check move -790 10 10 >"$WORK/move.log" || fail "cannot move the window: $(cat "$WORK/move.log")"
    menu_zoom 1 3 -800 0 800 600
    ends Escape press Escape
}

# At 144 dots per inch (Windows' 150 %): the window at that scale, with the client area, zooms,
# picture and /s in device pixels as at 96.
scenario_scale() {
    own_prefix 144
    win reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null || fail "reg add LogPixels"
    wineserver -w 8>&-
    DPI=144 scenario_window
    saver_screen "$scr" "press a"
    ok "at 144 dots per inch: the window and /s in device pixels"
    export WINEPREFIX=$PREFIX
}

# own_prefix NAME: a copy of the shared prefix, as WINEPREFIX, for this scenario alone.
own_prefix() {
    wine_up
    wineserver -w 8>&-
    cp -a "$PREFIX" "$WORK/prefix-$1" || fail "cannot copy the Wine prefix"
    export WINEPREFIX=$WORK/prefix-$1
    AT_EXIT+=("WINEPREFIX=$WINEPREFIX wineserver -k")
}

# changes: the files, folders (but Temp) and registry keys (those with values
# or no subkeys) of the setup scenario's prefix beyond the shared one.
changes() {
    wineserver -w 8>&-
    comm -13 <(contents "$PREFIX") <(contents "$WINEPREFIX")
}
contents() {
    (cd "$1" && find drive_c -path '*/Temp' -prune -o -print && grep -o '^\[[^]]*\]' system.reg user.reg) |
        LC_ALL=C sort
}

# The setup program, with the licence page; in a copy of the prefix, setup /S
# installs exactly its files, shortcuts, keys and uninstall entry; the installed
# programs run; Uninstall.exe /S leaves nothing but the user's screen saver.
scenario_setup() {
    local setup installed='C:\Program Files\Kvo' reg name want saver
    pack NSIS "$DIR"
    setup=$(ls "$WORK"/NSIS/kvo-*-windows-"$ARCH".exe) || fail "no kvo-VERSION-windows-$ARCH.exe"
    version_info "$setup" "Kvo setup"
    pe "$setup"
    # Its pages, in the script makensis built it from.
    grep -qxF "  !insertmacro MUI_PAGE_LICENSE \"$DIR/kvo2/windows/LICENSE.txt\"" \
        "$WORK"/NSIS/_CPack_Packages/*/NSIS/project.nsi || fail "${setup##*/}: no licence page"
    ok "${setup##*/}: $MAGIC, shows the licence"
    [ $RUNS = 1 ] || { SKIPPED+=("setup /S and what it installs"); return 0; }
    own_prefix setup
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
    pe "$WINEPREFIX/drive_c/Program Files/Kvo/Uninstall.exe"
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
    saver_screen "$WINEPREFIX/drive_c/windows/system32/kvo2.scr" "press a"
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
printf -v list '%s, ' "${SKIPPED[@]}"
[ ${#SKIPPED[@]} = 0 ] || skip "${list%, } (32-bit Wine): $NO_32BIT"
echo PASS
