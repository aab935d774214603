#!/usr/bin/env bash
# Installs what is missing, builds Kvo and starts the demo. Escape or the
# close box ends it; keys 1, 2 and 4 zoom the window.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/deps.sh
cmake --preset linux
cmake --build --preset linux
exec ./build/linux/kvo2/kvo2
