#!/usr/bin/env bash
# lv2apply-presets.sh NATIVE_BUILD WORK_DIR
# lilv's lv2apply, a host with no features at all (not even the URID map),
# audio and control ports only, one sample per run, 32-bit float buffers and
# no presets of its own, renders the renderer's demo signal through each
# factory preset of the bundle, its port values read from presets.ttl. The
# VST 2 build renders the same float signal through the same program with
# the same values: lv2apply's controls are floats, so each value a float
# cannot hold (Mix 0.7 is 0.699999988...) goes to it as that float's exact
# text. Both round the same double output to float, so the renders must be
# identical, bit for bit; except where a preset follows the host's tempo
# (Grain Mode SYNC or Frame Sync to Host) and sounds without notes: lv2apply
# sends no time position, so there only a finite, sounding output is asked.
# Prints "lv2apply-presets: 10 presets as expected" when all are.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
build=$(cd "$1" && pwd) || exit 1
work=$2
uri=https://vellum-music.com/plugins/quillet
rm -rf "$work" && mkdir -p "$work/lv2"
# A folder holding only this bundle: lilv looks at everything in LV2_PATH.
ln -s "$build/quillet.lv2" "$work/lv2/quillet.lv2"
render=$build/tools/render/quillet-render
# The demo signal, stereo float32 (lv2apply keeps the input's format).
"$render" "$build/Quillet.so" -q --seconds 2 --save-input "$work/demo.wav" -o "$work/unused.wav" \
  >/dev/null || { echo "lv2apply-presets: no demo signal"; exit 1; }
sox "$work/demo.wav" -e floating-point -b 32 "$work/demo32.wav" 2>/dev/null || exit 1
# Every preset's port values: "N symbol value" lines from the triples.
sordi "file://$build/quillet.lv2/presets.ttl" | awk '
  $2 == "<http://lv2plug.in/ns/lv2core#port>" { owner[$3] = $1 }
  $2 == "<http://lv2plug.in/ns/lv2core#symbol>" { sym[$1] = $3 }
  $2 == "<http://lv2plug.in/ns/ext/presets#value>" { val[$1] = $3 }
  END { for (b in owner) { p = owner[b]; sub(/.*#preset-/, "", p); sub(/>$/, "", p)
          v = val[b]; sub(/^"/, "", v); sub(/".*/, "", v); s = sym[b]; gsub(/"/, "", s)
          print p, s, v } }' | sort -n >"$work/values.txt"
# Each port's name by symbol (quillet-render names parameters by name).
sordi "file://$build/quillet.lv2/quillet.ttl" | awk '
  $2 == "<http://lv2plug.in/ns/lv2core#symbol>" { sym[$1] = $3 }
  $2 == "<http://lv2plug.in/ns/lv2core#name>" { n = $0; sub(/^[^"]*"/, "", n); sub(/" \.$/, "", n); name[$1] = n }
  END { for (b in sym) { s = sym[b]; gsub(/"/, "", s); print s "\t" name[b] } }' >"$work/names.txt"
# The exact decimal text of a value as a 32-bit float (perl is in every Debian).
as_float() { perl -e 'printf "%.17g", unpack("f", pack("f", $ARGV[0]))' -- "$1"; }
differs() { perl -e 'exit !($ARGV[0] != $ARGV[1])' -- "$1" "$2"; }
synced() {  # Grain Mode SYNC (1) or Frame Sync to Host on
  awk -v p="$1" '$1 == p && ($2 == "grain_mode" || $2 == "frame_sync_to_host") && $3 == 1 { f = 1 }
                 END { exit !f }' "$work/values.txt"
}
expected=0
for program in 0 1 2 3 4 5 6 7 8 9; do
  args=()
  params=()
  while read -r p symbol value; do
    [ "$p" = "$program" ] || continue
    args+=(-c "$symbol" "$value")
    float=$(as_float "$value")
    if differs "$float" "$value"; then
      params+=(--param "$(awk -F'\t' -v s="$symbol" '$1 == s { print $2 }' "$work/names.txt")=$float")
    fi
  done <"$work/values.txt"
  [ ${#args[@]} = 87 ] || { echo "preset $program: ${#args[@]} arguments, expected 29 controls"; continue; }
  LV2_PATH=$work/lv2 lv2apply -i "$work/demo32.wav" -o "$work/lv2-$program.wav" "${args[@]}" "$uri" ||
    { echo "preset $program: lv2apply failed"; continue; }
  "$render" "$build/Quillet.so" -q -i "$work/demo32.wav" -p "$program" "${params[@]}" --format f32 \
    -o "$work/vst2-$program.wav" >/dev/null || { echo "preset $program: VST 2 render failed"; continue; }
  for side in lv2 vst2; do
    offset=$(grep -abo data "$work/$side-$program.wav" | head -n 1 | cut -d: -f1)
    tail -c +$((offset + 9)) "$work/$side-$program.wav" >"$work/$side-$program.raw"
  done
  printf 'preset %s (%s values as floats): ' "$program" "$((${#params[@]} / 2))"
  if bash "$here/tools/compare-renders.sh" "$work/vst2-$program.raw" "$work/lv2-$program.raw" float; then
    expected=$((expected + 1))
  elif synced "$program"; then
    peak=$(sox "$work/lv2-$program.wav" -n stat 2>&1 | awk '/Maximum amplitude/ { print $3 }')
    echo "  tempo-synced, and lv2apply gives no time position: its output peaks at $peak"
    awk -v p="${peak:-0}" 'BEGIN { exit !(p > 0.001 && p < 10) }' && expected=$((expected + 1))
  fi
done
echo "lv2apply-presets: $expected presets as expected"
