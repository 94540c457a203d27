#!/usr/bin/env bash
# compare-versions.sh BEFORE_BUILD AFTER_BUILD
# The VST 2 binary of two versions of the tree must sound the same to the bit:
# renders the built-in demo signal through each of the ten factory programs,
# in 64-bit (processDoubleReplacing) and 32-bit float (processReplacing),
# with notes and a tempo that drive the MIDI and synced programs, once with
# each build's own quillet-render and plug-in, and compares each pair of
# renders byte for byte.
#
# Both builds are of the same configuration: two native build folders
# (Quillet.so) or two Windows ones (Quillet64.dll or Quillet.dll, rendered
# under Wine in AFTER_BUILD's Wine prefix; BEFORE_BUILD is only read). For
# example, with a build of the commit before a change in /tmp/before:
#   bash tools/render/compare-versions.sh /tmp/before/build/native build/native
# Skips (exit 0) with a message when a build is missing.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
before=$(cd "$1" 2>/dev/null && pwd) || { echo "compare-versions: skipped, $1 is not built"; exit 0; }
after=$(cd "$2" 2>/dev/null && pwd) || { echo "compare-versions: skipped, $2 is not built"; exit 0; }

# The renderer and plug-in of a build folder, and how to run them.
locate() {
  local build=$1
  if [ -f "$build/Quillet.so" ]; then
    echo "$build/tools/render/quillet-render" "$build/Quillet.so"
  else
    echo "$build/tools/render/quillet-render.exe" \
      "$(ls "$build"/Quillet64.dll "$build"/Quillet.dll 2>/dev/null | head -n 1)"
  fi
}
read -r before_render before_plugin < <(locate "$before")
read -r after_render after_plugin < <(locate "$after")
for f in "$before_render" "$before_plugin" "$after_render" "$after_plugin"; do
  if [ ! -f "$f" ]; then
    echo "compare-versions: skipped, $f is not built"
    exit 0
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
render() {  # render RENDERER PLUGIN OUTPUT ARGS...
  local renderer=$1 plugin=$2 output=$3
  shift 3
  case "$renderer" in
    *.exe) bash "$here/cmake/run-wine.sh" "$after/wineprefix" "$renderer" "Z:$plugin" -q "$@" \
             -o "Z:$output" >/dev/null ;;
    *) "$renderer" "$plugin" -q "$@" -o "$output" >/dev/null ;;
  esac
}
# The samples exactly as written: the bytes after the first 'data' chunk header.
samples() {
  local offset
  offset=$(grep -abo data "$1" | head -n 1 | cut -d: -f1)
  tail -c +$((offset + 9)) "$1" > "$2"
}

notes="A3@0+1,C4@1+1,E4@2+1,A4@3+1,F3@4+1,A3@5+1,C4@6+1,F4@7+1"
failed=0
for program in 0 1 2 3 4 5 6 7 8 9; do
  for precision in double float; do
    if [ "$precision" = double ]; then args=(--format f64); else args=(--single --format f32); fi
    args+=(-p "$program" --notes "$notes" --tempo 132 --time-signature 7/8 --seconds 4)
    render "$before_render" "$before_plugin" "$work/before.wav" "${args[@]}" &&
      render "$after_render" "$after_plugin" "$work/after.wav" "${args[@]}" ||
      { echo "compare-versions: program $program ($precision) did not render"; failed=1; continue; }
    samples "$work/before.wav" "$work/before.raw"
    samples "$work/after.wav" "$work/after.raw"
    printf 'program %s: ' "$program"
    bash "$here/tools/compare-renders.sh" "$work/before.raw" "$work/after.raw" "$precision" ||
      failed=1
  done
done
exit $failed
