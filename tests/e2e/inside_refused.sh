#!/usr/bin/env bash
# inside_refused.sh KVO2: built on SDL alone, the program refuses other
# programs' windows (--root, --window-id) with one line on stderr and status 2.
set -uo pipefail
want='kvo2: --root and --window-id need X11, which this build of Kvo leaves out'
for option in --root "--window-id 5"; do
    # shellcheck disable=SC2086
    err=$("$1" $option 2>&1 >/dev/null)
    status=$?
    [ $status = 2 ] && [ "$err" = "$want" ] || { echo "FAIL: kvo2 $option: status $status, stderr: $err"; exit 1; }
    echo "ok    kvo2 $option: status 2, \"$err\""
done
