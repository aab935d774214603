#!/usr/bin/env bash
# Installs what is missing to build Kvo (a compiler, CMake, SDL2, libpng,
# giflib; no test tools), builds the program and kvo2-render alone (the demo
# preset) and starts the demo. Escape or the close box ends it; keys 1, 2 and 4
# zoom the window. tools/deps.sh installs what the tests need.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ make cmake pkg-config libsdl2-dev libpng-dev libgif-dev libcli11-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update
  "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake --preset demo
cmake --build --preset demo
exec ./build/demo/kvo2/kvo2
