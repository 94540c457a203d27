#!/usr/bin/env bash
# The main job: sets up what is missing, builds the three plug-in binaries
# (Quillet64.dll, Quillet.dll, Quillet.so) and the offline renderer, then
# renders the built-in demo signal (a drum loop with a chord pad) through each
# of the ten factory programs of Quillet64.dll under Wine, and draws a picture
# of every render (input and output waveforms and spectrograms) plus one
# overview of all ten. Prints where the files are.
#
# Extra arguments go to every render, e.g. --tempo 100 or --seconds 8.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
here=$(pwd)

bash scripts/setup.sh
for preset in native win64 win32; do
  echo "== building $preset"
  cmake --preset "$preset" >/dev/null
  targets=(Quillet quillet-host)
  case $preset in
    native) targets+=(quillet-render quillet-plot) ;;
    win64) targets+=(quillet-render) ;;
  esac
  cmake --build --preset "$preset" --target "${targets[@]}" >/dev/null
done
echo "== binaries"
ls -l build/win64/Quillet64.dll build/win32/Quillet.dll build/native/Quillet.so

out=$here/build/demo
mkdir -p "$out"
rm -f "$out"/*.wav "$out"/*.png
wine_render() {
  bash cmake/run-wine.sh "$here/build/win64/wineprefix" build/win64/tools/render/quillet-render.exe \
    "Z:$here/build/win64/Quillet64.dll" "$@"
}
plot=build/native/tools/render/quillet-plot

# What each factory program does, for the pictures (by program number).
descriptions=(
  "M.SEC: every 160 ms frame replays its first 20 ms as a loop - a stuttering, buzzing copy"
  "SYNC: 1/16-note grains looped over 1/4-note frames locked to the tempo - rhythmic stutter"
  "FREQ: grains one 110 Hz cycle long with soft edges - the input turns into a 110 Hz drone"
  "MIDI: each played note (here an A minor / F arpeggio) sets the grain pitch - stepped tones"
  "MIDI: as MIDI Standard, with 1/16-note frames locked to the tempo - pitched and gated"
  "M.SEC: long grains restarted every 3 ms with fades - a metallic, ring-modulated sound"
  "SYNC: 1/16-note grains played with reverse skew over 1/4-note frames - backwards snippets"
  "FREQ: 110 Hz grains gated by 1/16-note frames that fade out - a sequenced pulse"
  "SYNC: 1/4-triplet grains over 1/8-note frames, 70 % wet - a rhythmic slap-back echo"
  "M.SEC: 60 ms grains overlapping 50 %, half dry - the input smeared with a double"
)
# Notes for the MIDI programs (the others pass MIDI on and ignore it):
# an arpeggio over the pad's two chords, in beats.
notes="A3@0+1,C4@1+1,E4@2+1,A4@3+1,F3@4+1,A3@5+1,C4@6+1,F4@7+1"

echo "== the demo signal through the ten factory programs of Quillet64.dll under Wine"
overview_args=()
for program in 0 1 2 3 4 5 6 7 8 9; do
  extra=()
  [ "$program" = 0 ] && extra=(--save-input "Z:$out/input.wav")
  line=$(wine_render --program "$program" --notes "$notes" -o "Z:$out/program-$program.wav" -q \
    "${extra[@]}" "$@")
  name=$(printf '%s\n' "$line" | sed -n 's/^quillet-render: "\(.*\)": .*/\1/p')
  slug=$(printf '%s' "$name" | tr 'A-Z ' 'a-z-' | tr -cd 'a-z0-9-')
  wav=$out/$program-$slug.wav
  mv "$out/program-$program.wav" "$wav"
  echo "  ${line% -> *} -> $wav"
  "$plot" sheet "$out/$program-$slug.png" "$out/input.wav" "$wav" "$program  $name" \
    "${descriptions[$program]}"
  overview_args+=("$program $name" "$wav")
done
"$plot" overview "$out/overview.png" "$out/input.wav" "${overview_args[@]}"

echo "== files"
echo "  input (built-in drum loop and chord pad): $out/input.wav"
echo "  one WAV and one PNG per program:          $out/<n>-<name>.wav, .png"
echo "  all ten at a glance:                      $out/overview.png"
ls -1 "$out"
