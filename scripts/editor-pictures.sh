#!/usr/bin/env bash
# Remakes the editor pictures README.md shows (docs/editor-*.png): the shipped
# Quillet64.dll's editor in each Grain Mode, with Frame Sync to Host on, and at
# 200 % (editor-200.png),
# taken by tools/editor-picture.sh under Wine on a virtual display and reduced
# to a palette (pngquant) so that the committed files stay small.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/setup.sh >/dev/null
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Quillet quillet-editor-picture >/dev/null
mkdir -p docs build/editor-pictures
shoot() {
  local name=$1
  shift
  bash tools/editor-picture.sh build/win64/Quillet64.dll "build/editor-pictures/$name.png" \
    --wait 1200 "$@" >/dev/null
  pngquant --force --strip --speed 1 --quality 60-90 --output "docs/editor-$name.png" \
    "build/editor-pictures/$name.png"
  echo "docs/editor-$name.png: $(stat -c %s "docs/editor-$name.png") bytes"
}
shoot msec --param "Grain Mode=M.SEC"
shoot sync --param "Grain Mode=SYNC"
shoot freq --param "Grain Mode=FREQ" --param "Grain Fade-In=0.2" --param "Grain Fade-Out=0.2"
shoot midi --param "Grain Mode=MIDI"
shoot host-sync --program "Synced Reversals"
shoot 200 --size 200 --param "Grain Mode=M.SEC"
