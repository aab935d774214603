#!/usr/bin/env bash
# kvo2-render built for 64-bit ARM, run under qemu-aarch64, writes the same
# bytes as the x86-64 build: stills at the golden readings, the loop's seams
# and 40 readings spread over the whole 32-bit clock, and a clip. Needs the
# builds of the presets linux and linux-arm64.
set -euo pipefail
cd "$(dirname "$0")/.."
x86=build/linux/render/kvo2-render
arm=build/linux-arm64/render/kvo2-render
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

times=(0 1 24 25 512 37500 77777 149499 149999 150000 2147483647 2147483648 4294967295)
t=15
for _ in $(seq 40); do
  t=$(( t * 6364136223846793005 + 1442695040888963407 ))
  times+=($(( (t >> 32) & 0xFFFFFFFF )))
done
for t in "${times[@]}"; do
  "$x86" --time "$t" --out "$scratch/x86.png"
  qemu-aarch64 -L / "$arm" --time "$t" --out "$scratch/arm64.png"
  cmp -s "$scratch/x86.png" "$scratch/arm64.png" || { echo "t = $t: the arm64 frame differs"; exit 1; }
done
"$x86" --from 149000 --to 151000 --fps 10 --out "$scratch/x86.gif" 2>/dev/null
qemu-aarch64 -L / "$arm" --from 149000 --to 151000 --fps 10 --out "$scratch/arm64.gif" 2>/dev/null
cmp "$scratch/x86.gif" "$scratch/arm64.gif"
echo "arm64 and x86-64 wrote the same bytes: ${#times[@]} stills and a clip of 20 frames"
