#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer, replays their corpora and
# fuzzes them for a bounded time in all (seconds, default 60): two thirds for
# the renderers, the rest for kvo2-render's options. New inputs go to a
# scratch folder; any crash or sanitizer report fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

cmake --preset linux-fuzz
cmake --build --preset linux-fuzz
ctest --preset linux-fuzz

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fuzz() {  # target, seconds, libFuzzer flags
  local target=$1 time=$(( $2 > 0 ? $2 : 1 ))
  shift 2
  echo "== fuzzing $target for $time s"
  mkdir "$scratch/$target"
  ./build/linux-fuzz/tests/fuzz/kvo2-fuzz-"$target" -max_total_time="$time" \
    -artifact_prefix="$scratch/" -print_final_stats=1 "$@" "$scratch/$target" tests/fuzz/corpus/"$target"
}
fuzz renderers $(( seconds * 2 / 3 ))
fuzz options $(( seconds - seconds * 2 / 3 )) -dict=tests/fuzz/options.dict
