#!/usr/bin/env bash
# release.sh --web-host HOST --web-domain DOMAIN
# Makes the release archives from clean builds of the plug-in binaries,
# in build/release/:
#   Quillet-<version>-windows.zip         Quillet64.dll and Quillet.dll (VST 2),
#                                         Quillet.clap (CLAP, 64-bit), the VST 3
#                                         bundle Quillet.vst3 (x86_64-win, x86-win)
#   Quillet-<version>-linux-x86_64.tar.gz Quillet.so (VST 2), Quillet.clap (CLAP),
#                                         Quillet.vst3 (x86_64-linux) and the LV2
#                                         bundle quillet.lv2/
#   SHA256SUMS                            the SHA-256 sums of both archives
# Each archive holds one folder of its own name with the binaries, README.md
# (and the overview picture it shows) and, under licenses/, the notices of
# the libraries linked into the binaries. The version is the project's, from
# CMakeLists.txt. The archives depend only on the files they hold: the same
# binaries give the same bytes.
#
# The maker's web site (the update check's server and the option menu's
# "Visit ...") must be given, as arguments or in QUILLET_WEB_HOST and
# QUILLET_WEB_DOMAIN: a release never ships the reserved placeholder names
# (anything under .example), with which the update check can only fail.
#
# The builds are clean (build/release/build-<preset>, made afresh) and, with
# the same sources and web settings, byte for byte those of the presets that
# the tests use; scripts/check-release.sh compares the archives with those.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

web_host=${QUILLET_WEB_HOST:-}
web_domain=${QUILLET_WEB_DOMAIN:-}
while [ $# -gt 0 ]; do
  case "$1" in
    --web-host) web_host=${2:-}; shift 2 || shift ;;
    --web-domain) web_domain=${2:-}; shift 2 || shift ;;
    *) echo "release: unknown argument $1 (use --web-host HOST --web-domain DOMAIN)" >&2; exit 2 ;;
  esac
done
reserved() {
  local name=${1%.}
  name=$(printf '%s' "$name" | tr 'A-Z' 'a-z')
  [ -z "$name" ] || [ "$name" = example ] || [ "${name%.example}" != "$name" ]
}
for name in "$web_host" "$web_domain"; do
  if reserved "$name"; then
    echo "release: give the maker's web host and domain (--web-host, --web-domain);" \
      "'${name}' is empty or a reserved .example name" >&2
    exit 2
  fi
done
case "$web_host$web_domain" in
  *[!A-Za-z0-9.-]*) echo "release: a host or domain name holds only letters, digits, '.' and '-'" >&2; exit 2 ;;
esac

bash scripts/setup.sh >/dev/null
version=$(sed -n 's/^project(Quillet VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "release: no version in CMakeLists.txt" >&2; exit 1; }
out=build/release
rm -rf "$out"
mkdir -p "$out"

for preset in win64 win32 native; do
  echo "release: building $preset"
  cmake --preset "$preset" -B "$out/build-$preset" -DQUILLET_TESTS=OFF \
    -DQUILLET_WEB_HOST="$web_host" -DQUILLET_WEB_DOMAIN="$web_domain" >/dev/null
  cmake --build "$out/build-$preset" --target Quillet QuilletVst3 >/dev/null
  # The CLAP binaries: 64-bit Windows and Linux.
  if [ "$preset" != win32 ]; then
    cmake --build "$out/build-$preset" --target QuilletClap >/dev/null
  fi
done
# The LV2 bundle: its module and the descriptions written from the tables.
cmake --build "$out/build-native" --target quillet_lv2_module >/dev/null

# The notices, from the Debian packages whose sources the binaries are built
# from: libpng (the mingw builds come from the same source package as
# libpng16-16) and zlib for all three, and the mingw-w64 runtime (its
# winpthreads and start-up code) that the DLLs link statically.
notice_libpng=/usr/share/doc/libpng16-16/copyright
notice_zlib_linux=/usr/share/doc/zlib1g/copyright
notice_zlib_windows=/usr/share/doc/libz-mingw-w64-dev/copyright
notice_mingw=/usr/share/doc/mingw-w64-common/copyright
for f in "$notice_libpng" "$notice_zlib_linux" "$notice_zlib_windows" "$notice_mingw"; do
  [ -f "$f" ] || { echo "release: $f is missing (scripts/setup.sh installs its package)" >&2; exit 1; }
done

# One commit time for every file, so that the archives repeat exactly.
stamp=$(git log -1 --format=%ct 2>/dev/null || echo 0)

# stage FOLDER BINARY... ; then the licenses are copied in by the caller.
stage() {
  local dir=$out/stage/$1
  shift
  mkdir -p "$dir/licenses" "$dir/docs"
  cp "$@" README.md "$dir/"
  cp docs/overview.png "$dir/docs/"
  cp "$notice_libpng" "$dir/licenses/libpng.txt"
}

windows=Quillet-$version-windows
stage "$windows" "$out/build-win64/Quillet64.dll" "$out/build-win32/Quillet.dll" \
  "$out/build-win64/Quillet.clap"
cp "$notice_zlib_windows" "$out/stage/$windows/licenses/zlib.txt"
cp "$notice_mingw" "$out/stage/$windows/licenses/mingw-w64.txt"
for arch in x86_64-win:win64 x86-win:win32; do
  mkdir -p "$out/stage/$windows/Quillet.vst3/Contents/${arch%%:*}"
  cp "$out/build-${arch#*:}/Quillet.vst3/Contents/${arch%%:*}/Quillet.vst3" \
    "$out/stage/$windows/Quillet.vst3/Contents/${arch%%:*}/"
done

linux=Quillet-$version-linux-x86_64
stage "$linux" "$out/build-native/Quillet.so" "$out/build-native/Quillet.clap"
cp -r "$out/build-native/quillet.lv2" "$out/stage/$linux/"
cp "$notice_zlib_linux" "$out/stage/$linux/licenses/zlib.txt"
mkdir -p "$out/stage/$linux/Quillet.vst3/Contents/x86_64-linux"
cp "$out/build-native/Quillet.vst3/Contents/x86_64-linux/Quillet.so" \
  "$out/stage/$linux/Quillet.vst3/Contents/x86_64-linux/"

find "$out/stage" -exec touch -h -d "@$stamp" {} +
chmod -R u=rwX,go=rX "$out/stage"
(
  cd "$out/stage"
  find "$windows" | LC_ALL=C sort | TZ=UTC zip -q -X -9 "../$windows.zip" -@
  tar --sort=name --owner=0 --group=0 --numeric-owner --mtime="@$stamp" -cf - "$linux" |
    gzip -n -9 >"../$linux.tar.gz"
)
(cd "$out" && sha256sum "$windows.zip" "$linux.tar.gz" >SHA256SUMS)
rm -rf "$out/stage"

echo "release: $version for $web_host ($web_domain)"
(cd "$out" && ls -l "$windows.zip" "$linux.tar.gz" && cat SHA256SUMS)
