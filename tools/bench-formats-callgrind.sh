#!/usr/bin/env bash
# tools/bench-formats-callgrind.sh [BUILD_DIR]
#
# Instructions per stereo sample of each format's audio path around the same
# product (quillet-format-bench: the VST 2 entry and the LV2 run, float, 48 kHz,
# blocks of 512), counted by callgrind inside the block loop only (set-up
# excluded), for the default program and for MIDI mode with eight voices; and
# how much more (or less) LV2 costs than VST 2. The counts repeat exactly.
#
# BUILD_DIR defaults to build/bench (the "bench" preset); it is configured and
# the benchmark built when missing. BENCH=/path/to/quillet-format-bench skips
# the build. Needs valgrind.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/bench}
seconds=${SECONDS_OF_AUDIO:-1}

# shellcheck source=tools/bench-lib.sh
source "$root/tools/bench-lib.sh"
bench=$(bench_program "$build" quillet-format-bench)
[ -x "$bench" ] || { echo "no benchmark program found" >&2; exit 1; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
count() {  # FORMAT CONFIG: instructions per stereo sample
  local samples collected
  collected=$(callgrind_instructions "$out" --toggle-collect='*RenderBlocks*' \
    "$bench" --format "$1" --config "$2" --seconds "$seconds")
  samples=$(awk '{ print $3 }' "$out/stdout")
  awk -v s="$samples" -v c="$collected" 'BEGIN { printf "%.1f", c / s }'
}
printf '%-10s %14s %14s %10s\n' configuration "VST 2 Ir/smp" "LV2 Ir/smp" "LV2 more"
for config in default midi8; do
  vst2=$(count vst2 "$config")
  lv2=$(count lv2 "$config")
  awk -v n="$config" -v a="$vst2" -v b="$lv2" \
    'BEGIN { printf "%-10s %14.1f %14.1f %9.2f%%\n", n, a, b, (b - a) / a * 100 }'
done
