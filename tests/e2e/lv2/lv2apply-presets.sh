#!/usr/bin/env bash
# lv2apply-presets.sh NATIVE_BUILD WORK_DIR
# lilv's lv2apply (a host with no features, audio and control ports only,
# one sample per run, float buffers) renders the renderer's demo signal
# through each factory preset of the bundle, its port values read from
# presets.ttl (lv2apply has no presets of its own); the VST 2 build renders
# the same signal through the same program. lv2apply reads and writes 32-bit
# float and gets the preset's values as floats, so the two renders may differ
# by float conversion only: at most 1e-6 on any sample (measured: see the
# printed largest difference).
# Prints "lv2apply-presets: 10 presets agree" when they do.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
build=$(cd "$1" && pwd) || exit 1
work=$2
uri=https://vellum-music.com/plugins/quillet
tolerance=1e-6
rm -rf "$work" && mkdir -p "$work/lv2"
# A folder holding only this bundle: lilv looks at everything in LV2_PATH.
ln -s "$build/quillet.lv2" "$work/lv2/quillet.lv2"
render=$build/tools/render/quillet-render
# The demo signal, stereo float32 (lv2apply keeps the input's format).
"$render" "$build/Quillet.so" -q --seconds 2 --save-input "$work/demo.wav" -o "$work/unused.wav" \
  >/dev/null || { echo "lv2apply-presets: no demo signal"; exit 1; }
sox "$work/demo.wav" -e floating-point -b 32 "$work/demo32.wav" || exit 1
# Every preset's port values: "preset-N symbol value" lines from the triples.
sordi "file://$build/quillet.lv2/presets.ttl" | awk '
  $2 == "<http://lv2plug.in/ns/lv2core#port>" { owner[$3] = $1 }
  $2 == "<http://lv2plug.in/ns/lv2core#symbol>" { sym[$1] = $3 }
  $2 == "<http://lv2plug.in/ns/ext/presets#value>" { val[$1] = $3 }
  END { for (b in owner) { p = owner[b]; sub(/.*#preset-/, "", p); sub(/>$/, "", p)
          v = val[b]; sub(/^"/, "", v); sub(/".*/, "", v); s = sym[b]; gsub(/"/, "", s)
          print p, s, v } }' | sort -n >"$work/values.txt"
agree=0
for program in 0 1 2 3 4 5 6 7 8 9; do
  args=()
  while read -r p symbol value; do
    [ "$p" = "$program" ] && args+=(-c "$symbol" "$value")
  done <"$work/values.txt"
  [ ${#args[@]} = 87 ] || { echo "preset $program: ${#args[@]} arguments, expected 29 controls"; continue; }
  LV2_PATH=$work/lv2 lv2apply -i "$work/demo32.wav" -o "$work/lv2-$program.wav" "${args[@]}" "$uri" ||
    { echo "preset $program: lv2apply failed"; continue; }
  "$render" "$build/Quillet.so" -q -i "$work/demo32.wav" -p "$program" --format f32 \
    -o "$work/vst2-$program.wav" >/dev/null || { echo "preset $program: VST 2 render failed"; continue; }
  for side in lv2 vst2; do
    offset=$(grep -abo data "$work/$side-$program.wav" | head -n 1 | cut -d: -f1)
    tail -c +$((offset + 9)) "$work/$side-$program.wav" >"$work/$side-$program.raw"
  done
  printf 'preset %s: ' "$program"
  bash "$here/tools/compare-renders.sh" "$work/vst2-$program.raw" "$work/lv2-$program.raw" float \
    "$tolerance" && agree=$((agree + 1))
done
echo "lv2apply-presets: $agree presets agree"
