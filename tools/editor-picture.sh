#!/usr/bin/env bash
# editor-picture.sh DLL OUT.png [quillet-editor-picture options...]
# A picture of a Windows build's editor: runs quillet-editor-picture of the
# DLL's own build folder under Wine on a virtual X display, e.g.
#   bash tools/editor-picture.sh build/win64/Quillet64.dll editor.png --param "Grain Mode=MIDI"
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dll=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
out=$2
shift 2
case "$out" in /*) ;; *) out=$PWD/$out ;; esac
build=$(dirname "$dll")
tool=$build/tools/editorpicture/quillet-editor-picture.exe
[ -f "$tool" ] || { echo "editor-picture: $tool is missing (build the preset of $dll)" >&2; exit 1; }
QUILLET_WINE_DISPLAY=1 QUILLET_LOCAL_APPDATA="Z:$build/test-appdata" \
  bash "$here/cmake/run-wine.sh" "$build/wineprefix-display" "$tool" "Z:$dll" "Z:$out" "$@"
