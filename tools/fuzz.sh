#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer, replays their corpora and
# fuzzes them for a bounded time in all (seconds, default 60): two thirds for
# the renderers, the rest for kvo2-render's options. New inputs go to a
# scratch folder; any crash or sanitizer report fails.
# A second argument names the preset: linux-arm64-fuzz fuzzes the 64-bit ARM
# build under qemu-aarch64 (where LeakSanitizer cannot run).
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
fuzz() {  # target, seconds, libFuzzer flags
  local target=$1 time=$(( $2 > 0 ? $2 : 1 ))
  shift 2
  echo "== fuzzing $target for $time s ($preset)"
  mkdir "$scratch/$target"
  "${run[@]}" "./build/$preset/tests/fuzz/kvo2-fuzz-$target" -max_total_time="$time" \
    -artifact_prefix="$scratch/" -print_final_stats=1 "$@" "$scratch/$target" tests/fuzz/corpus/"$target"
}
fuzz renderers $(( seconds * 2 / 3 ))
fuzz options $(( seconds - seconds * 2 / 3 )) -dict="build/$preset/tests/fuzz/options.dict"
