#!/usr/bin/env bash
# The Windows programs, built with MinGW-w64 for x86 and x64: static, GUI
# subsystem, no DLL beyond Windows' own, the icon resource IDI_MAIN.
#   windows_program.sh SOURCE-DIR BUILD-DIR
set -uo pipefail
SRC=$1 BIN=$2
. "$(dirname "$0")/common.sh"
. "$(dirname "$0")/build_windows.sh"
need cmake i686-w64-mingw32-g++ x86_64-w64-mingw32-g++ x86_64-w64-mingw32-objdump icotool wrestool \
    /usr/bin/convert

# The DLLs that every Windows installation has.
windows_dll='^(KERNEL32|USER32|GDI32|WINMM|msvcrt)\.dll$'

for arch in i686 x86_64; do
    build_windows "$SRC" "$BIN/windows-$arch" "$arch"
    exe=$BIN/windows-$arch/kvo2/kvo2.exe
    headers=$(x86_64-w64-mingw32-objdump -p "$exe")
    want_magic=$([ $arch = i686 ] && echo PE32 || echo PE32+)
    grep -q "^Magic.*($want_magic)" <<<"$headers" || fail "$arch: not a $want_magic image"
    grep -q '^Subsystem.*(Windows GUI)' <<<"$headers" || fail "$arch: not a GUI program"
    dlls=$(awk '/DLL Name:/ { print $3 }' <<<"$headers")
    foreign=$(grep -viE "$windows_dll" <<<"$dlls")
    [ -z "$foreign" ] || fail "$arch: needs DLLs beyond Windows' own: $foreign"
    ok "$arch: $want_magic GUI program needing only $(tr '\n' ' ' <<<"$dlls")"
    wrestool -l "$exe" | grep -q "type=14 --name='IDI_MAIN'" || fail "$arch: no icon group IDI_MAIN"
    ok "$arch: icon resource IDI_MAIN"
done

# The icon: three images, and the right colours in the right places.
ico=$BIN/windows-x86_64/kvo2/kvo2.ico
images=$(icotool -l "$ico" | sed 's/--index=[0-9]* //')
expected="--icon --width=32 --height=32 --bit-depth=4 --palette-size=16
--icon --width=16 --height=16 --bit-depth=4 --palette-size=16
--icon --width=32 --height=32 --bit-depth=1 --palette-size=2"
[ "$images" = "$expected" ] || fail "icon images: $images"
ok "icon: 32x32 and 16x16 in 16 colours, 32x32 monochrome"
icotool -x -o "$WORK" "$ico" || fail "icotool cannot read the icon"
colour() { /usr/bin/convert "$WORK/$1" -format "%[hex:p{$2,$3}]" info: | cut -c1-6; }
while read -r image x y want what; do
    got=$(colour "$image" "$x" "$y")
    [ "$got" = "$want" ] || fail "icon $image ($x, $y): $got, want $want ($what)"
done <<'SPOTS'
kvo2_1_32x32x4.png 0 0 000000 border
kvo2_1_32x32x4.png 1 1 C0C0C0 light grey line
kvo2_1_32x32x4.png 2 2 808080 dark grey line
kvo2_1_32x32x4.png 3 8 000000 square edge
kvo2_1_32x32x4.png 8 8 FF0000 red square
kvo2_1_32x32x4.png 23 8 00FF00 green square
kvo2_1_32x32x4.png 8 23 0000FF blue square
kvo2_1_32x32x4.png 23 23 FFFF00 yellow square
kvo2_2_16x16x4.png 0 0 000000 border
kvo2_2_16x16x4.png 1 1 808080 dark grey line
kvo2_2_16x16x4.png 4 4 FF0000 red square
kvo2_2_16x16x4.png 11 4 00FF00 green square
kvo2_2_16x16x4.png 4 11 0000FF blue square
kvo2_2_16x16x4.png 11 11 FFFF00 yellow square
kvo2_3_32x32x1.png 0 0 000000 border
kvo2_3_32x32x1.png 1 1 FFFFFF line
kvo2_3_32x32x1.png 4 4 000000 checkerboard dot
kvo2_3_32x32x1.png 5 4 FFFFFF checkerboard gap
kvo2_3_32x32x1.png 19 5 000000 dot grid
kvo2_3_32x32x1.png 18 4 FFFFFF dot grid gap
SPOTS
ok "icon colours in place"
echo PASS
