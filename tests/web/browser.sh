#!/usr/bin/env bash
# The web page in headless Chromium and Firefox, built here or in SITE=DIR: a
# still's screenshot is kvo2-render's frame, pixel for pixel; browser.mjs and
# firefox.mjs check the rest.
# browser.sh SOURCE-DIR KVO2-RENDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/lib.sh"
src=$1 render=$2
need clang node chromium firefox-esr python3 compare

if [ -n "${SITE:-}" ]; then
    cp -r "$SITE" "$WORK/site"
else
    bash "$src/tools/web.sh" build >"$WORK/build.log" 2>&1 || fail "tools/web.sh build: $(tail -20 "$WORK/build.log")"
    cp -r "$src/build/web" "$WORK/site"
fi
mkdir "$WORK/site/nomodule"
cp "$WORK/site/index.html" "$WORK/site/kvo.js" "$WORK/site/nomodule/"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$WORK/site" >"$WORK/server.log" 2>&1 &
PIDS+=($!)
within 10 grep -q ' port [0-9]* ' "$WORK/server.log" || fail "no server: $(cat "$WORK/server.log")"
port=$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$WORK/server.log")

# The golden readings, the still in the README and one more.
times="$(cut -d' ' -f1 "$src/tests/golden/frames.txt" | tr '\n' ' ') 20000 123457"
node "$here/browser.mjs" chromium "http://127.0.0.1:$port/" "$WORK" $times
mkdir "$WORK/ffprofile"
node --experimental-websocket "$here/firefox.mjs" "http://127.0.0.1:$port/" "$WORK" $times 2>/dev/null
for t in $times; do
    "$render" --time "$t" --out "$WORK/frame-$t.png"
    for shot in still firefox-still; do
        differ=$(compare -metric AE "$WORK/frame-$t.png" "$WORK/$shot-$t.png" null: 2>&1) ||
            fail "the $shot at t=$t differs from kvo2-render's frame in $differ pixels"
    done
done
ok "every still, in Chromium and in Firefox, is kvo2-render's frame, pixel for pixel: $times"
