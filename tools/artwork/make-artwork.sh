#!/usr/bin/env bash
# Rebuilds the editor's PNG images into resources/img.
# Needs the DejaVu fonts (Debian: fonts-dejavu-core, fonts-dejavu-extra).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build/artwork}
mkdir -p "$build"
c++ -O2 -std=c++17 -o "$build/quillet_artwork" \
  "$root/tools/artwork/ArtworkGenerator.cpp" "$root/tools/artwork/Canvas.cpp" \
  "$root/tools/artwork/TrueTypeFont.cpp" -lpng
mkdir -p "$root/resources/img"
"$build/quillet_artwork" "$root/resources/img" "${FONT_DIR:-/usr/share/fonts/truetype/dejavu}"
