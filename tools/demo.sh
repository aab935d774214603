#!/usr/bin/env bash
# Installs what is missing to build Kvo (tools/deps.sh --demo: a compiler,
# CMake, SDL2, libpng, giflib, CLI11; no test tools), builds the program and
# kvo2-render alone (the demo preset) and starts the demo. Escape or the close
# box ends it; keys 1, 2 and 4 zoom the window. tools/deps.sh installs what
# the tests need.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/deps.sh --demo
cmake --preset demo
cmake --build --preset demo
exec ./build/demo/kvo2/kvo2
