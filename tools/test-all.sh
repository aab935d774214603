#!/usr/bin/env bash
# Installs what is missing, builds Kvo and runs every test: a minute of
# fuzzing (renderers and options), the AddressSanitizer/UndefinedBehaviorSanitizer
# build, the release build and the 32-bit x86 build (under qemu-i386).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/deps.sh

echo "== fuzzing"
bash tools/fuzz.sh "${KVO_FUZZ_SECONDS:-60}"

for preset in linux-asan linux linux-x86; do
  echo "== $preset"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
