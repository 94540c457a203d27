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
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset bench -B "$build" >/dev/null
fi
cmake --build "$build" --target quillet-vst3-bench >/dev/null
bench=$build/tools/bench/quillet-vst3-bench
command -v valgrind >/dev/null || { echo "valgrind is not installed" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export QUILLET_LOCAL_APPDATA=$out/appdata

count() {  # FORMAT PLUGIN FLAGS... -> instructions per stereo sample
  local format=$1 plugin=$2
  shift 2
  valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$out/cg.out" \
    "$bench" --format "$format" --plugin "$plugin" --seconds "$seconds" "$@" >"$out/stdout" 2>"$out/stderr"
  local samples collected
  samples=$(awk '/^samples/ { print $2 }' "$out/stdout")
  collected=$(sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$out/stderr")
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
