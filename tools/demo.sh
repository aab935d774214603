#!/usr/bin/env bash
# Installs what is missing, builds Kvo and renders one frame to kvo-frame.png.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/deps.sh
cmake --preset linux
cmake --build --preset linux
./build/linux/tools/kvo2-render --time 0 --out kvo-frame.png
echo "wrote kvo-frame.png"
