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

bench=${BENCH:-}
if [ -z "$bench" ]; then
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLET_BENCH=ON \
      -DQUILLET_TESTS=OFF >/dev/null
  fi
  cmake --build "$build" --target quillet-engine-bench >/dev/null
  bench=$(find "$build" -name quillet-engine-bench -type f -perm -u+x | head -n 1)
fi
[ -x "$bench" ] || { echo "no benchmark program found" >&2; exit 1; }
command -v valgrind >/dev/null || { echo "valgrind is not installed" >&2; exit 1; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
printf '%-14s %10s %14s %12s\n' configuration samples instructions "Ir/sample"
for name in "default" "Frequency" "Sync 2 Host" "MIDI 8 voices"; do
  valgrind --tool=callgrind --toggle-collect='quillet::GrainEngine::Process*' \
    --callgrind-out-file="$out/cg.out" "$bench" --section time --seconds "$seconds" --repeats 1 \
    --only "$name" \
    >"$out/stdout" 2>"$out/stderr"
  samples=$(awk -v n="$name" 'index($0, n) == 1 { print $(NF - 2) }' "$out/stdout")
  collected=$(sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$out/stderr")
  awk -v n="$name" -v s="$samples" -v c="$collected" \
    'BEGIN { printf "%-14s %10d %14d %12.1f\n", n, s, c, c / s }'
done
