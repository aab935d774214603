#!/usr/bin/env bash
# The .deb: the installed files under /usr, dependencies read from the
# binaries (SDL2 among them), and the program from the unpacked package opens
# its window and ends with Escape.
#   package_deb.sh BUILD-DIR
set -uo pipefail
BUILD=$1
. "$(dirname "$0")/../e2e/common.sh"
. "$(dirname "$0")/installed_files.sh"
need cpack dpkg-deb dpkg-shlibdeps desktop-file-validate groff /usr/bin/convert
cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK/pkg" >"$WORK/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$WORK/cpack.log")"
debs=("$WORK"/pkg/*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "want one .deb, got: ${debs[*]}"
deb=${debs[0]}
ok "made $(basename "$deb")"

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libsdl2-2.0-0 libpng16-16 libgif7 libc6; do
    grep -q "\(^\|, \)$lib\( \|,\|$\)" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
ok "Depends: $depends"

dpkg-deb -x "$deb" "$WORK/root" || fail "dpkg-deb -x"
check_installed "$WORK/root" usr/
bash "$(dirname "$0")/../e2e/window_escape.sh" "$WORK/root/usr/bin/kvo2" ||
    fail "the program from the package"
echo PASS
