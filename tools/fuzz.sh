#!/usr/bin/env bash
# Builds the renderer fuzz target with clang and libFuzzer, and fuzzes it for
# a bounded time (seconds, default 60) from the checked-in seed corpus. New
# inputs go to a scratch folder; any crash or sanitizer report fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

cmake --preset linux-fuzz
cmake --build --preset linux-fuzz
ctest --preset linux-fuzz

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
./build/linux-fuzz/tests/fuzz/kvo2-fuzz-renderers -max_total_time="$seconds" \
  -artifact_prefix="$scratch/" -print_final_stats=1 "$scratch" tests/fuzz/corpus
