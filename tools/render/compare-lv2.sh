#!/usr/bin/env bash
# compare-lv2.sh NATIVE_BUILD
# Renders the built-in demo signal through each of the ten factory programs
# with the native quillet-render twice: through the VST 2 build (Quillet.so)
# and through the LV2 bundle (quillet.lv2/, its presets applied as hosts apply
# them, MIDI and transport as atom events), both in 64-bit float with blocks
# split at events, with notes and at 93 beats per minute in 7/8 so that the
# MIDI and tempo-synced programs take their own paths; the renders must be
# identical, bit for bit. Then once in 32-bit float. Skips (exit 0) with a
# message when the build is missing.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
native=$(cd "$1" 2>/dev/null && pwd) || { echo "compare-lv2: skipped, $1 is not built"; exit 0; }
render=$native/tools/render/quillet-render
for f in "$render" "$native/Quillet.so" "$native/quillet.lv2/quillet.so"; do
  [ -f "$f" ] || { echo "compare-lv2: skipped, $f is not built"; exit 0; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
notes="A3@0+1,C4@1+1,E4@2+1,A4@3+1,F3@4+1,A3@5+1,C4@6+1,F4@7+1"
common=(-q --split-events --notes "$notes" --tempo 93 --time-signature 7/8)
failed=0
compare() {  # NAME FORMAT PRECISION ARGS...
  local name=$1 format=$2 precision=$3 side offset
  shift 3
  "$render" "$native/Quillet.so" "${common[@]}" --format "$format" "$@" -o "$work/vst2.wav" \
    >/dev/null || { echo "compare-lv2: VST 2 render of $name failed"; failed=1; return; }
  "$render" "$native/quillet.lv2" "${common[@]}" --format "$format" "$@" -o "$work/lv2.wav" \
    >/dev/null || { echo "compare-lv2: LV2 render of $name failed"; failed=1; return; }
  for side in vst2 lv2; do
    offset=$(grep -abo data "$work/$side.wav" | head -n 1 | cut -d: -f1)
    tail -c +$((offset + 9)) "$work/$side.wav" >"$work/$side.raw"
  done
  printf '%s: ' "$name"
  bash "$here/tools/compare-renders.sh" "$work/vst2.raw" "$work/lv2.raw" "$precision" || failed=1
}
for program in 0 1 2 3 4 5 6 7 8 9; do
  compare "program $program (double)" f64 double -p "$program"
done
compare "program 4 (float)" f32 float -p 4 --single
exit $failed
