#!/usr/bin/env bash
# Installs what is missing, builds Kvo and runs every test: a minute of
# fuzzing (renderers and options, on x86-64 and on 64-bit ARM under
# qemu-aarch64), the AddressSanitizer/UndefinedBehaviorSanitizer build, the
# release build, the build on SDL alone (no X11; its unit tests and the
# Wayland test), the web page's build, the 32-bit x86 build (under qemu-i386) and the 64-bit ARM
# build (under qemu-aarch64), whose frames must be the x86-64 build's to the
# byte; then a release (tools/release.sh), checked and made again elsewhere,
# which must give the same bytes.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/deps.sh

echo "== fuzzing"
bash tools/fuzz.sh "${KVO_FUZZ_SECONDS:-45}"
bash tools/fuzz.sh "${KVO_ARM64_FUZZ_SECONDS:-20}" linux-arm64-fuzz

echo "== web"
bash tools/web.sh build

for preset in linux-asan linux linux-sdl linux-x86 linux-arm64; do
  echo "== $preset"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
bash tools/arm64-frames.sh

echo "== release"
bash tools/release.sh
bash tests/release/check.sh . build/release
