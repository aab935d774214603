#!/usr/bin/env bash
# Builds Kvo's web page into build/web/ and serves it on
# http://127.0.0.1:8000/ until Ctrl+C; `bash tools/web.sh build` only builds.
# Needs clang, lld, wasi-libc and the wasm32 libc++ (bash tools/deps.sh), and
# python3 for the server.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset web >/dev/null
cmake --build --preset web
cmake --install build/wasm >/dev/null
[ "${1:-}" = build ] && exit 0
echo "Kvo: http://127.0.0.1:8000/ (Ctrl+C stops the server)"
exec python3 -m http.server 8000 --bind 127.0.0.1 --directory build/web
