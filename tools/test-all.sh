#!/usr/bin/env bash
# Installs what is missing, builds Kvo and runs every test: the release build
# and the AddressSanitizer/UndefinedBehaviorSanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/deps.sh

for preset in linux linux-asan; do
  echo "== $preset"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done

echo "== fuzzing"
bash tools/fuzz.sh "${KVO_FUZZ_SECONDS:-60}"
