#!/usr/bin/env bash
# compare-builds.sh NATIVE_BUILD WINDOWS_BUILD [TOLERANCE]
# Renders the built-in demo signal through each of the ten factory programs
# (with notes for the MIDI programs) with the native quillet-render and
# Quillet.so, and with the Windows quillet-render.exe and its DLL under Wine,
# both in 64-bit float, and compares the two renders of each program sample by
# sample: the largest difference must not exceed TOLERANCE (default 1e-12).
# The Windows renders run in one Wine session per program; a 32-bit build
# (under qemu where needed) takes about ten seconds more each.
# Skips (exit 0) with a message when a build is missing.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
tolerance=${3:-1e-12}
native=$(cd "$1" 2>/dev/null && pwd) || { echo "compare-builds: skipped, $1 is not built"; exit 0; }
windows=$(cd "$2" 2>/dev/null && pwd) || { echo "compare-builds: skipped, $2 is not built"; exit 0; }
native_render=$native/tools/render/quillet-render
native_plugin=$native/Quillet.so
windows_render=$windows/tools/render/quillet-render.exe
windows_plugin=$(ls "$windows"/Quillet64.dll "$windows"/Quillet.dll 2>/dev/null | head -n 1)
for f in "$native_render" "$native_plugin" "$windows_render" "$windows_plugin"; do
  if [ ! -f "$f" ]; then
    echo "compare-builds: skipped, $f is not built"
    exit 0
  fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
notes="A3@0+1,C4@1+1,E4@2+1,A4@3+1,F3@4+1,A3@5+1,C4@6+1,F4@7+1"
failed=0
for program in 0 1 2 3 4 5 6 7 8 9; do
  "$native_render" "$native_plugin" -q -p "$program" --notes "$notes" --format f64 \
    -o "$work/native.wav" >/dev/null || { echo "compare-builds: native render of $program failed"; failed=1; continue; }
  bash "$here/cmake/run-wine.sh" "$windows/wineprefix" "$windows_render" "Z:$windows_plugin" -q \
    -p "$program" --notes "$notes" --format f64 -o "Z:$work/windows.wav" >/dev/null ||
    { echo "compare-builds: Windows render of $program failed"; failed=1; continue; }
  # The samples exactly as written: the bytes after the 'data' chunk header,
  # the first "data" in the file (sox would round them to 32-bit integers).
  for side in native windows; do
    offset=$(grep -abo data "$work/$side.wav" | head -n 1 | cut -d: -f1)
    tail -c +$((offset + 9)) "$work/$side.wav" > "$work/$side.raw"
  done
  printf 'program %s: ' "$program"
  bash "$here/tools/compare-renders.sh" "$work/native.raw" "$work/windows.raw" double "$tolerance" ||
    failed=1
done
exit $failed
