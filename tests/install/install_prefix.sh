#!/usr/bin/env bash
# cmake --install into a fresh prefix puts exactly the program, kvo2-render,
# the menu entry, the icons and the manual page there.
#   install_prefix.sh BUILD-DIR
set -uo pipefail
BUILD=$1
. "$(dirname "$0")/../e2e/common.sh"
. "$(dirname "$0")/installed_files.sh"
need cmake desktop-file-validate groff /usr/bin/convert
cmake --install "$BUILD" --prefix "$WORK/prefix" >"$WORK/install.log" 2>&1 ||
    fail "cmake --install: $(cat "$WORK/install.log")"
check_installed "$WORK/prefix" ""
echo PASS
