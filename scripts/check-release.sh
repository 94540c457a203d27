#!/usr/bin/env bash
# check-release.sh [RELEASE-FOLDER] [BUILD-FOLDER]
# Checks the archives that scripts/release.sh made (in build/release by
# default) against the binaries the tests ran on (the presets' folders under
# build/ by default): the sums hold, each archive holds exactly its files,
# and its binaries are byte for byte the tested ones.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
release=${1:-build/release}
builds=${2:-build}

version=$(sed -n 's/^project(Quillet VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
windows=Quillet-$version-windows
linux=Quillet-$version-linux-x86_64
status=0
fail() {
  echo "check-release: $*" >&2
  status=1
}

(cd "$release" && sha256sum --quiet -c SHA256SUMS) || fail "the SHA-256 sums do not hold"

# expect LISTED EXPECTED: the archive's files (folders left out), in order.
expect() {
  if [ "$1" != "$2" ]; then
    fail "archive holds:"$'\n'"$1"$'\n'"instead of:"$'\n'"$2"
  fi
}
common="README.md docs/overview.png licenses/libpng.txt licenses/zlib.txt"
listed=$(unzip -Z1 "$release/$windows.zip" | grep -v '/$' | LC_ALL=C sort)
wanted=$(for f in Quillet64.dll Quillet.dll $common licenses/mingw-w64.txt; do
  echo "$windows/$f"
done | LC_ALL=C sort)
expect "$listed" "$wanted"
listed=$(tar -tzf "$release/$linux.tar.gz" | grep -v '/$' | LC_ALL=C sort)
lv2="quillet.lv2/manifest.ttl quillet.lv2/presets.ttl quillet.lv2/quillet.so quillet.lv2/quillet.ttl"
wanted=$(for f in Quillet.so $lv2 $common; do echo "$linux/$f"; done | LC_ALL=C sort)
expect "$listed" "$wanted"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
unzip -q "$release/$windows.zip" -d "$unpacked"
tar -xzf "$release/$linux.tar.gz" -C "$unpacked"
same() {
  cmp -s "$1" "$2" || fail "$(basename "$1") in the archive is not $2"
}
same "$unpacked/$windows/Quillet64.dll" "$builds/win64/Quillet64.dll"
same "$unpacked/$windows/Quillet.dll" "$builds/win32/Quillet.dll"
same "$unpacked/$linux/Quillet.so" "$builds/native/Quillet.so"
for f in $lv2; do
  same "$unpacked/$linux/$f" "$builds/native/$f"
done
for folder in "$windows" "$linux"; do
  same "$unpacked/$folder/README.md" README.md
  same "$unpacked/$folder/docs/overview.png" docs/overview.png
done

[ $status -eq 0 ] && echo "check-release: both archives hold exactly the tested binaries"
exit $status
