#!/usr/bin/env bash
# editor-picture.sh PLUGIN OUT.png [quillet-editor-picture options...]
# A picture of a build's editor: runs quillet-editor-picture of the plug-in's
# own build folder on a virtual X display, under Wine for a DLL, natively for
# the Linux .so, e.g.
#   bash tools/editor-picture.sh build/win64/Quillet64.dll editor.png --param "Grain Mode=MIDI"
#   bash tools/editor-picture.sh build/native/Quillet.so editor-x11.png --param "Grain Mode=MIDI"
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
plugin=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
out=$2
shift 2
case "$out" in /*) ;; *) out=$PWD/$out ;; esac
build=$(dirname "$plugin")
case "$plugin" in
  *.dll)
    tool=$build/tools/editorpicture/quillet-editor-picture.exe
    [ -f "$tool" ] || { echo "editor-picture: $tool is missing (build the preset of $plugin)" >&2; exit 1; }
    QUILLET_WINE_DISPLAY=1 QUILLET_LOCAL_APPDATA="Z:$build/test-appdata" \
      bash "$here/cmake/run-wine.sh" "$build/wineprefix-display" "$tool" "Z:$plugin" "Z:$out" "$@"
    ;;
  *)
    tool=$build/tools/editorpicture/quillet-editor-picture
    [ -f "$tool" ] || { echo "editor-picture: $tool is missing (build the preset of $plugin)" >&2; exit 1; }
    QUILLET_LOCAL_APPDATA="$build/test-appdata" \
      bash "$here/cmake/run-with-display.sh" "$build/display" "$tool" "$plugin" "$out" "$@"
    ;;
esac
