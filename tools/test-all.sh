#!/usr/bin/env bash
# Installs what is missing, builds Kvo and runs every test: a minute of
# fuzzing the renderers, the web page's build, the AddressSanitizer/
# UndefinedBehaviorSanitizer build and the release build.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/deps.sh

echo "== fuzzing"
bash tools/fuzz.sh "${KVO_FUZZ_SECONDS:-60}"

echo "== web"
bash tools/web.sh build

for preset in linux-asan linux; do
  echo "== $preset"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
