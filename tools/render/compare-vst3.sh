#!/usr/bin/env bash
# compare-vst3.sh BUILD [wine]
# Renders the built-in signal through each of the ten factory programs with
# notes, automation and a host tempo, once with the build's VST 2 binary and
# once with its VST 3 bundle (64-bit samples), and requires the renders to be
# bit-identical:
#   VST 2 with --split-events   against   VST 3 with --split-events
#       (notes and automation at the pieces' starts, the transport per piece)
#   VST 2 with --split-events   against   VST 3 in whole blocks, notes only
#       (the VST 3 build splits its blocks at the note events itself)
# With "wine" the build is a Windows one and its quillet-render.exe runs
# under Wine, one session per render; only the first comparison runs there
# (the second's splitting is the same code, tested natively and by the
# Windows end-to-end tests), keeping the Wine time down.
# Skips (exit 0) with a message when the build is missing.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "$1" 2>/dev/null && pwd) || { echo "compare-vst3: skipped, $1 is not built"; exit 0; }
mode=${2:-native}
bundle=$build/Quillet.vst3
if [ "$mode" = wine ]; then
  render=$build/tools/render/quillet-render.exe
  vst2=$(ls "$build"/Quillet64.dll "$build"/Quillet.dll 2>/dev/null | head -n 1)
  run() { bash "$here/cmake/run-wine.sh" "$build/wineprefix" "$render" "$@"; }
  z=Z:
else
  render=$build/tools/render/quillet-render
  vst2=$build/Quillet.so
  run() { "$render" "$@"; }
  z=
fi
for f in "$render" "$vst2" "$bundle"; do
  [ -e "$f" ] || { echo "compare-vst3: skipped, $f is not built"; exit 0; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
notes="A3@0+1,C4@1+1,E4@1.5+1,A4@3+1"
# Values a float holds exactly: VST 2 hosts pass floats, VST 3 hosts doubles.
automation="Mix@0.25=0.25,Mix@1.3=0.875,Volume@2.2=0.625,Grain Overlap@1.7=0.375"
common=(-q --seconds 2 --block 512 --tempo 132 --format f64 --notes "$notes")
samples() {  # the samples exactly as written, after the first 'data' chunk header
  local offset
  offset=$(grep -abo data "$1" | head -n 1 | cut -d: -f1)
  tail -c +$((offset + 9)) "$1"
}
failed=0
cases="automated notes"
[ "$mode" = wine ] && cases=automated
for program in 0 1 2 3 4 5 6 7 8 9; do
  for case in $cases; do
    extra=(--split-events)
    [ "$case" = automated ] && extra+=(--automate "$automation")
    vst3_extra=("${extra[@]}")
    [ "$case" = notes ] && vst3_extra=()
    run "$z$vst2" -p "$program" "${common[@]}" "${extra[@]}" -o "$z$work/vst2.wav" >/dev/null ||
      { echo "compare-vst3: VST 2 render of $program failed"; failed=1; continue; }
    run "$z$bundle" -p "$program" "${common[@]}" "${vst3_extra[@]}" -o "$z$work/vst3.wav" >/dev/null ||
      { echo "compare-vst3: VST 3 render of $program failed"; failed=1; continue; }
    if cmp -s <(samples "$work/vst2.wav") <(samples "$work/vst3.wav"); then
      echo "program $program ($case): identical"
    else
      echo "program $program ($case): DIFFERENT"
      failed=1
    fi
  done
done
exit $failed
