#!/usr/bin/env bash
# check-release.sh --web-host HOST --web-domain DOMAIN [RELEASE-FOLDER] [BUILD-FOLDER]
# Checks the archives that scripts/release.sh made (in build/release by
# default) against the binaries the tests ran on (the presets' folders under
# build/ by default): the sums hold, each archive holds exactly its files,
# its binaries are byte for byte the tested ones, and they carry the web host
# and domain the release was given (also from QUILLET_WEB_HOST and
# QUILLET_WEB_DOMAIN), not the reserved placeholders.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
web_host=${QUILLET_WEB_HOST:-}
web_domain=${QUILLET_WEB_DOMAIN:-}
folders=()
while [ $# -gt 0 ]; do
  case "$1" in
    --web-host) web_host=${2:-}; shift 2 || shift ;;
    --web-domain) web_domain=${2:-}; shift 2 || shift ;;
    *) folders+=("$1"); shift ;;
  esac
done
release=${folders[0]:-build/release}
builds=${folders[1]:-build}
if [ -z "$web_host" ] || [ -z "$web_domain" ]; then
  echo "check-release: give the web host and domain the release was made with" >&2
  exit 2
fi

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
vst3=Quillet.vst3/Contents
wanted=$(for f in Quillet64.dll Quillet.dll Quillet.clap $common licenses/mingw-w64.txt \
  $vst3/x86_64-win/Quillet.vst3 $vst3/x86-win/Quillet.vst3; do
  echo "$windows/$f"
done | LC_ALL=C sort)
expect "$listed" "$wanted"
listed=$(tar -tzf "$release/$linux.tar.gz" | grep -v '/$' | LC_ALL=C sort)
lv2="quillet.lv2/manifest.ttl quillet.lv2/presets.ttl quillet.lv2/quillet.so quillet.lv2/quillet.ttl"
wanted=$(for f in Quillet.so Quillet.clap $lv2 $common $vst3/x86_64-linux/Quillet.so; do
  echo "$linux/$f"
done | LC_ALL=C sort)
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
same "$unpacked/$windows/Quillet.clap" "$builds/win64/Quillet.clap"
same "$unpacked/$linux/Quillet.clap" "$builds/native/Quillet.clap"
for f in $lv2; do
  same "$unpacked/$linux/$f" "$builds/native/$f"
done
for part in x86_64-win/Quillet.vst3:win64 x86-win/Quillet.vst3:win32; do
  same "$unpacked/$windows/$vst3/${part%%:*}" "$builds/${part#*:}/$vst3/${part%%:*}"
done
same "$unpacked/$linux/$vst3/x86_64-linux/Quillet.so" "$builds/native/$vst3/x86_64-linux/Quillet.so"
for folder in "$windows" "$linux"; do
  same "$unpacked/$folder/README.md" README.md
  same "$unpacked/$folder/docs/overview.png" docs/overview.png
done

# The web settings are texts in the binaries; the placeholders must be gone.
carries() {
  LC_ALL=C grep -qaF "$2" "$1"
}
for binary in "$unpacked/$windows/Quillet64.dll" "$unpacked/$windows/Quillet.dll" \
  "$unpacked/$linux/Quillet.so"; do
  name=$(basename "$binary")
  carries "$binary" "$web_host" || fail "$name does not carry the web host $web_host"
  carries "$binary" "$web_domain" || fail "$name does not carry the web domain $web_domain"
  for placeholder in www.vellum-music.example vellum-music.example; do
    if carries "$binary" "$placeholder"; then fail "$name carries the placeholder $placeholder"; fi
  done
done

[ $status -eq 0 ] && echo "check-release: both archives hold exactly the tested binaries, made for $web_host"
exit $status
