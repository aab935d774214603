#!/usr/bin/env bash
# The unit tests built for WebAssembly (the SIMD128 kernels against the plain
# ones, the golden frames, ...), run under Node.
# unit_tests.sh SOURCE-DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/lib.sh"
src=$1
need clang node

bash "$src/tools/web.sh" build >"$WORK/build.log" 2>&1 || fail "tools/web.sh build: $(tail -20 "$WORK/build.log")"
# (The flag: WASI in the Node of Debian 12.)
node --no-warnings --experimental-wasi-unstable-preview1 "$here/run_wasi.mjs" "$src/build/wasm/tests/web/kvo2_wasm_tests.wasm" "$src/tests/golden"
