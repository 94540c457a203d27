#!/usr/bin/env bash
# tools/bench-vst3-callgrind.sh [BUILD_DIR]
#
# Instructions per stereo sample of the VST 3 process path against the VST 2
# one, counted by callgrind over the host's block loop only (set-up
# excluded): the default program and eight MIDI voices, 64- and 32-bit
# processing, without and with one parameter change per block. The target is
# at most 3 % more for VST 3.
#
# BUILD_DIR defaults to build/bench (the "bench" preset); it is configured and
# the benchmark built when missing. Needs valgrind.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/bench}
seconds=${SECONDS_OF_AUDIO:-1}
# shellcheck source=tools/bench-lib.sh
source "$root/tools/bench-lib.sh"
bench=$(bench_program "$build" quillet-vst3-bench)
[ -x "$bench" ] || { echo "no benchmark program found" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export QUILLET_LOCAL_APPDATA=$out/appdata

count() {  # FORMAT PLUGIN FLAGS... -> instructions per stereo sample
  local format=$1 plugin=$2
  shift 2
  local samples collected
  collected=$(callgrind_instructions "$out" --collect-atstart=no \
    "$bench" --format "$format" --plugin "$plugin" --seconds "$seconds" "$@")
  samples=$(awk '/^samples/ { print $2 }' "$out/stdout")
  awk -v s="$samples" -v c="$collected" 'BEGIN { printf "%.1f", c / s }'
}

printf '%-36s %12s %12s %9s\n' configuration "VST 2 Ir/s" "VST 3 Ir/s" "VST 3"
for config in default midi8; do
  for precision in 64 32; do
    for changes in none per-block; do
      flags=()
      [ "$config" = midi8 ] && flags+=(--midi8)
      [ "$precision" = 32 ] && flags+=(--float)
      [ "$changes" = per-block ] && flags+=(--changes)
      v2=$(count vst2 "$build/Quillet.so" "${flags[@]}")
      v3=$(count vst3 "$build/Quillet.vst3" "${flags[@]}")
      awk -v n="$config, $precision-bit, changes $changes" -v a="$v2" -v b="$v3" \
        'BEGIN { printf "%-36s %12.1f %12.1f %+8.2f%%\n", n, a, b, (b / a - 1) * 100 }'
    done
  done
done
