#!/usr/bin/env bash
# compare-formats.sh BUILD
# Renders the built-in demo signal through each of the ten factory programs
# with the build's VST 2 binary and its CLAP binary (Quillet.clap), in 64-bit
# float, with notes, automation of a continuous and a stepped parameter, and
# a host transport (tempo and time signature), blocks split at every event;
# the two renders of each program must be identical to the last bit.
# A Windows build (quillet-render.exe) renders under Wine, one Wine process
# per render in the build's prefix.
# Skips (exit 0) with a message when a binary is missing.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "$1" 2>/dev/null && pwd) || { echo "compare-formats: skipped, $1 is not built"; exit 0; }
if [ -f "$build/tools/render/quillet-render.exe" ]; then
  render=("bash" "$here/cmake/run-wine.sh" "$build/wineprefix" "$build/tools/render/quillet-render.exe")
  vst2=$(ls "$build"/Quillet64.dll "$build"/Quillet.dll 2>/dev/null | head -n 1)
  drive="Z:"
else
  render=("$build/tools/render/quillet-render")
  vst2=$build/Quillet.so
  drive=""
fi
clap=$build/Quillet.clap
for f in "${render[-1]}" "$vst2" "$clap"; do
  if [ ! -f "$f" ]; then
    echo "compare-formats: skipped, $f is not built"
    exit 0
  fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
notes="A3@0+1,C4@1+1,E4@2.5+1,A4@3+0.75,F3@4.2+1"
failed=0
for program in 0 1 2 3 4 5 6 7 8 9; do
  for format in vst2 clap; do
    plugin=$vst2
    [ "$format" = clap ] && plugin=$clap
    "${render[@]}" "$drive$plugin" -q -p "$program" --notes "$notes" --tempo 132 \
      --time-signature 3/4 --automate "Mix@0.5=0.75,Mix@2.25=0.3" \
      --automate "Frame Sync to Host@1.5=1" --split-events --block 400 --seconds 3 \
      --format f64 -o "$drive$work/$format.wav" >/dev/null ||
      { echo "compare-formats: $format render of $program failed"; failed=1; continue 2; }
  done
  # The samples exactly as written: the bytes after the first 'data' chunk
  # header (the files' headers differ in their time stamps).
  for side in vst2 clap; do
    offset=$(grep -abo data "$work/$side.wav" | head -n 1 | cut -d: -f1)
    tail -c +$((offset + 9)) "$work/$side.wav" > "$work/$side.raw"
  done
  if [ -s "$work/vst2.raw" ] && cmp -s "$work/vst2.raw" "$work/clap.raw"; then
    echo "program $program: CLAP and VST 2 renders identical"
  else
    echo "program $program: CLAP and VST 2 renders DIFFER"
    failed=1
  fi
done
exit $failed
