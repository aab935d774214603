#!/usr/bin/env bash
# Builds the renderer fuzz target with clang and libFuzzer, and fuzzes it for
# a bounded time (seconds, default 60) from the checked-in seed corpus. New
# inputs go to a scratch folder; any crash or sanitizer report fails.
# A second argument names the preset: linux-arm64-fuzz fuzzes the 64-bit ARM
# kernels under qemu-aarch64 (where LeakSanitizer cannot run).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
preset=${2:-linux-fuzz}
run=()
if [ "$preset" = linux-arm64-fuzz ]; then
  run=(qemu-aarch64 -L /)
  export ASAN_OPTIONS=detect_leaks=0
fi

cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"${run[@]}" "./build/$preset/tests/fuzz/kvo2-fuzz-renderers" -max_total_time="$seconds" \
  -artifact_prefix="$scratch/" -print_final_stats=1 "$scratch" tests/fuzz/corpus
