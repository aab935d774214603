#!/usr/bin/env bash
# Runs the window tests many times in a row on a busy machine:
#   bash tools/stress.sh [N] [REGEX] [ENV...]
# builds the linux preset, then runs ctest's tests matching REGEX ('e2e|soak')
# N times in a row (10), stopping at the first failure, with the variables
# ENV (VAR=VALUE, e.g. SCENARIOS=setting) set. Beside them, the linux-asan
# preset is built from scratch over and over in build/stress-load, so that the
# tests share the processors with a compiler the whole time. Exit status:
# ctest's. The log of each round is in build/stress-load.log.
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-10} regex=${2:-e2e|soak}
shift $(($# < 2 ? $# : 2))

cmake --preset linux >/dev/null
cmake --build --preset linux

load=build/stress-load
cmake --preset linux-asan -B "$load" >/dev/null
# In a session of its own, the builder ends with its compilers.
setsid bash -c 'while :; do
    echo "== load round $((++round)): $(date -u +%T)"
    cmake --build "$0" --clean-first -j2
  done' "$load" >"$load.log" 2>&1 &
builder=$!
trap 'kill -TERM -- -$builder 2>/dev/null; wait' EXIT

echo "stress: ctest -R '$regex' $n times in a row, ${*:+with $*, }beside a build of linux-asan; $(nproc) processors"
start=$(date +%s)
status=0
env "$@" ctest --preset linux -R "$regex" --repeat "until-fail:$n" || status=$?
echo "stress: status $status after $(($(date +%s) - start)) s; the load's rounds: $(grep -c '^== load' "$load.log")"
exit $status
