#!/usr/bin/env bash
# tools/bench-formats.sh [BUILD_DIR]
#
# Instructions per stereo sample of each plug-in format's process path, VST 2
# (processDoubleReplacing) beside CLAP (process with 64-bit buffers), counted
# by callgrind inside the format's process entry only (loading, set-up and
# the renderer's own work excluded), for the default program and for eight
# MIDI voices. The binaries are driven by quillet-render with the same signal,
# blocks and notes. Unlike wall time on a shared machine, the counts repeat
# exactly.
#
# BUILD_DIR defaults to build/native (Release); Quillet.so, Quillet.clap and
# quillet-render must be built there. Needs valgrind.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/native}
seconds=${SECONDS_OF_AUDIO:-1}
render=$build/tools/render/quillet-render
for f in "$render" "$build/Quillet.so" "$build/Quillet.clap"; do
  [ -f "$f" ] || { echo "bench-formats: $f is not built" >&2; exit 1; }
done
command -v valgrind >/dev/null || { echo "valgrind is not installed" >&2; exit 1; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
frames=$(awk -v s="$seconds" 'BEGIN { printf "%d", s * 44100 }')
chord="C3@0+8,E3@0+8,G3@0+8,B3@0+8,D4@0+8,F4@0+8,A4@0+8,C5@0+8"
# count FORMAT ENTRY ARGS...: instructions inside ENTRY per stereo sample.
count() {
  local plugin=$1 entry=$2
  shift 2
  valgrind --tool=callgrind --toggle-collect="$entry" --callgrind-out-file="$out/cg.out" \
    "$render" "$plugin" -q --seconds "$seconds" --format f64 -o "$out/out.wav" "$@" \
    >"$out/stdout" 2>"$out/stderr"
  sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$out/stderr"
}
printf '%-16s %14s %14s %10s\n' configuration "VST 2 Ir/smp" "CLAP Ir/smp" "CLAP/VST 2"
for configuration in default midi8; do
  if [ "$configuration" = default ]; then
    args=(-p 0)
    label="default program"
  else
    args=(-p "MIDI Standard" --param "MIDI Polyphony=8" --notes "$chord")
    label="8 MIDI voices"
  fi
  vst2=$(count "$build/Quillet.so" 'plug::IPlugVST::ProcessDoubleReplacing*' "${args[@]}")
  clap=$(count "$build/Quillet.clap" 'plug::IPlugClap::ProcessEntry*' "${args[@]}")
  awk -v n="$label" -v v="$vst2" -v c="$clap" -v f="$frames" \
    'BEGIN { printf "%-16s %14.1f %14.1f %9.2f%%\n", n, v / f, c / f, (c / v - 1) * 100 }'
done
