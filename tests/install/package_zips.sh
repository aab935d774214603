#!/usr/bin/env bash
# The Windows zips: each holds, in one top folder, the program built for its
# processor and the note on it.
#   package_zips.sh SOURCE-DIR BUILD-DIR
set -uo pipefail
SRC=$1 BIN=$2
. "$(dirname "$0")/../e2e/common.sh"
. "$(dirname "$0")/../e2e/build_windows.sh"
need cmake cpack i686-w64-mingw32-g++ x86_64-w64-mingw32-g++ x86_64-w64-mingw32-objdump

files="README.txt kvo2.exe"
for build in "i686 x86 pei-i386" "x86_64 x64 pei-x86-64"; do
    read -r arch name format <<<"$build"
    build_windows "$SRC" "$BIN/windows-$arch" "$arch"
    cpack -G ZIP --config "$BIN/windows-$arch/CPackConfig.cmake" -B "$WORK/$arch" >"$WORK/cpack.log" 2>&1 ||
        fail "cpack $name: $(cat "$WORK/cpack.log")"
    zip=$(ls "$WORK/$arch"/kvo-*-windows-$name.zip) || fail "no kvo-VERSION-windows-$name.zip"
    top=$(basename "$zip" .zip)
    listing=$(cmake -E tar tf "$zip" | sort | tr '\n' ' ')
    want=$(for f in $files; do echo "$top/$f"; done | sort | tr '\n' ' ')
    [ "$listing" = "$want" ] || fail "$zip holds: $listing; want: $want"
    (cd "$WORK/$arch" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
    x86_64-w64-mingw32-objdump -f "$WORK/$arch/$top/kvo2.exe" | grep -q "file format $format" ||
        fail "$zip: kvo2.exe is not $format"
    ok "$(basename "$zip"): $files, kvo2.exe $format"
done
echo PASS
