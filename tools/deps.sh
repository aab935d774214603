#!/usr/bin/env bash
# Installs what Kvo needs to build and test on Debian or Ubuntu. Runs
# apt-get only when a package is missing; uses sudo when not root.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang libclang-rt-dev
  libpng-dev libgif-dev libsdl2-dev libcli11-dev
  libgtest-dev libbenchmark-dev
  # the Windows builds
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  # the end-to-end tests: X server, real input, screenshots, Wine, icons
  xvfb xdotool x11-utils x11-apps imagemagick libx11-dev wine wine64 icoutils procps
  # full screen needs a window manager: the tests run one
  openbox
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y "${missing[@]}"
