#!/usr/bin/env bash
# The main job: sets up what is missing, builds the three plug-in binaries
# (Quillet64.dll, Quillet.dll, Quillet.so), then pushes a generated stereo
# signal through Quillet64.dll under Wine with our own host, printing each
# step the host takes.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/setup.sh
for preset in native win64 win32; do
  echo "== building $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target Quillet quillet-host >/dev/null
done
echo "== binaries"
ls -l build/win64/Quillet64.dll build/win32/Quillet.dll build/native/Quillet.so

echo "== a generated stereo signal through Quillet64.dll under Wine"
here=$(pwd)
bash cmake/run-wine.sh "$here/build/win64/wineprefix" build/win64/tools/vsthost/quillet-host.exe \
  "Z:$here/build/win64/Quillet64.dll" --seconds 2 "$@"
