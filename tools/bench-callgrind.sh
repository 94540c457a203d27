#!/usr/bin/env bash
# tools/bench-callgrind.sh [BUILD_DIR]
#
# Instructions per stereo sample of the engine benchmark's configurations,
# counted by callgrind inside GrainEngine::Process only (set-up excluded).
# Unlike wall time on a shared machine, the counts repeat exactly.
#
# BUILD_DIR defaults to build/bench (the "bench" preset); it is configured and
# the benchmark built when missing. BENCH=/path/to/quillet-engine-bench skips
# the build. Needs valgrind.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/bench}
seconds=${SECONDS_OF_AUDIO:-1}

# shellcheck source=tools/bench-lib.sh
source "$root/tools/bench-lib.sh"
bench=$(bench_program "$build" quillet-engine-bench)
[ -x "$bench" ] || { echo "no benchmark program found" >&2; exit 1; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
printf '%-14s %10s %14s %12s\n' configuration samples instructions "Ir/sample"
for name in "default" "Frequency" "Sync 2 Host" "MIDI 8 voices"; do
  collected=$(callgrind_instructions "$out" --toggle-collect='quillet::GrainEngine::Process*' \
    "$bench" --section time --seconds "$seconds" --repeats 1 --only "$name")
  samples=$(awk -v n="$name" 'index($0, n) == 1 { print $(NF - 2) }' "$out/stdout")
  awk -v n="$name" -v s="$samples" -v c="$collected" \
    'BEGIN { printf "%-14s %10d %14d %12.1f\n", n, s, c, c / s }'
done
