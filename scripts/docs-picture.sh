#!/usr/bin/env bash
# Remakes docs/overview.png, the picture README.md shows: the main job
# (scripts/demo.sh) renders the demo signal through the ten factory programs
# of Quillet64.dll under Wine and draws build/demo/overview.png; this reduces
# its colours to a palette (pngquant, visually the same) so that the
# committed file stays small.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/demo.sh >/dev/null
mkdir -p docs
pngquant --force --strip --speed 1 --quality 50-80 --output docs/overview.png build/demo/overview.png
bytes=$(stat -c %s docs/overview.png)
echo "docs/overview.png: $bytes bytes"
# Far below what a repository should carry for one picture.
[ "$bytes" -lt 200000 ] || { echo "docs/overview.png is too large" >&2; exit 1; }
