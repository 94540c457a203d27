#!/usr/bin/env bash
# Rebuilds the editor's PNG images: resources/img at 100 %, resources/img/150
# and resources/img/200 at 150 % and 200 % (resources/EditorImages.h says how
# the binaries carry them). About half a minute, most of it compressing.
# Needs the DejaVu fonts (Debian: fonts-dejavu-core, fonts-dejavu-extra).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build/artwork}
fonts=${FONT_DIR:-/usr/share/fonts/truetype/dejavu}
mkdir -p "$build"
src=$root/tools/artwork
c++ -O2 -std=c++17 -o "$build/quillet_artwork" "$src/ArtworkGenerator.cpp" "$src/Canvas.cpp" \
  "$src/Grid.cpp" "$src/Mask.cpp" "$src/TrueTypeFont.cpp" -lpng
for set in "img 1" "img/150 1.5" "img/200 2"; do
  read -r folder scale <<<"$set"
  mkdir -p "$root/resources/$folder"
  "$build/quillet_artwork" "$root/resources/$folder" "$fonts" --scale "$scale"
done
