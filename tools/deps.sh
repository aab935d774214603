#!/usr/bin/env bash
# Installs what Kvo needs on Debian or Ubuntu: everything to build and test
# it, or with --demo only what building the program and kvo2-render without
# video needs (a compiler, CMake, SDL2, libpng, giflib, libwebp, CLI11),
# without recommended packages. Runs apt-get only when a package is missing;
# uses sudo when not root.
set -euo pipefail

demo=(g++ make cmake pkg-config libsdl2-dev libx11-dev libxext-dev libxrender-dev libxrandr-dev libpng-dev
  libgif-dev libwebp-dev libcli11-dev)

packages=(
  build-essential cmake pkg-config clang libclang-rt-dev gcovr
  libpng-dev libgif-dev libwebp-dev libsdl2-dev libx11-dev libxext-dev libxrender-dev libxrandr-dev libcli11-dev
  # kvo2-render's video: FFmpeg's libraries (libswscale for the tests' decoding)
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev
  libgtest-dev libbenchmark-dev
  # the AVX-512 kernels checked on any x86 processor, on SIMDe's portable code
  libsimde-dev
  # the Windows builds and their setup programs
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 nsis
  # the end-to-end tests: X server, real input, screenshots, Wine, icons
  xvfb xdotool x11-utils x11-apps imagemagick libx11-dev wine wine64 icoutils procps
  # several monitors: Xorg's dummy driver, its outputs arranged by xrandr
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  # full screen needs a window manager: the tests run one
  openbox
  # the program on Wayland: a headless compositor, its screenshots, its tree read by jq
  sway grim jq
  # the install and package tests: the menu entry's and metainfo's checkers,
  # groff for the manual pages, Debian's package checker, and the bare Debian
  # that the .deb is installed on
  desktop-file-utils appstream groff-base lintian debootstrap
  # the Debian source package: its build, Debian's checks of it, and what
  # reprotest varies (time, locale, user)
  debhelper dpkg-dev pkgconf piuparts autopkgtest reprotest faketime locales-all sudo
  # 32-bit x86: the i686 Windows program under 32-bit Wine, started through
  # qemu-i386; the linux-x86 preset's tests under qemu-i386
  qemu-user g++-multilib wine32:i386 libgtest-dev:i386
  # the 64-bit ARM cross build (clang, lld), run under qemu-aarch64
  lld qemu-user libstdc++-12-dev:arm64 libc6-dev:arm64 libpng-dev:arm64 libgif-dev:arm64
  libwebp-dev:arm64 libgtest-dev:arm64 libsdl2-dev:arm64 libxext-dev:arm64 libxrender-dev:arm64 libxrandr-dev:arm64
  libclang-rt-14-dev:arm64
  # the web page: the WebAssembly build, its server, Node and the browser
  wasi-libc libc++-14-dev-wasm32 libc++abi-14-dev-wasm32 libclang-rt-14-dev-wasm32
  python3 nodejs chromium firefox-esr
)

apt_options=(-y)
if [ "${1:-}" = --demo ]; then
  packages=("${demo[@]}")
  apt_options+=(--no-install-recommends)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
# The test set-up's 32-bit x86 and 64-bit ARM packages.
if [ "${1:-}" != --demo ]; then
  dpkg --print-foreign-architectures | grep -qx i386 || "${sudo[@]}" dpkg --add-architecture i386
  if [ "$(dpkg --print-architecture)" != arm64 ] && ! dpkg --print-foreign-architectures | grep -qx arm64; then
    "${sudo[@]}" dpkg --add-architecture arm64
  fi
fi
# A mirror in the middle of a sync serves index files that do not match: try again after a pause.
"${sudo[@]}" apt-get update || { sleep 20 && "${sudo[@]}" apt-get update; } || { sleep 60 && "${sudo[@]}" apt-get update; }
"${sudo[@]}" apt-get install "${apt_options[@]}" "${missing[@]}"
