#!/usr/bin/env bash
# The program built on SDL alone refuses other programs' windows: for
# --root and --window-id, one line on stderr and status 2.
#   inside_refused.sh KVO2
set -uo pipefail
want='kvo2: --root and --window-id need X11, which this build of Kvo leaves out'
for option in --root "--window-id 5"; do
    # shellcheck disable=SC2086
    err=$("$1" $option 2>&1 >/dev/null)
    status=$?
    [ $status = 2 ] && [ "$err" = "$want" ] || { echo "FAIL: kvo2 $option: status $status, stderr: $err"; exit 1; }
    echo "ok    kvo2 $option: status 2, \"$err\""
done
