#!/usr/bin/env bash
# Installs everything a fresh Debian 12 machine needs to build and test Quillet:
# compilers (native and both mingw-w64 targets), Wine for 64- and 32-bit programs
# (with qemu-user for kernels that do not run 32-bit Linux programs),
# Xvfb, GoogleTest sources, zlib and libpng for every target, FreeType and
# fontconfig with the fonts that stand in for the editor's (Liberation for Arial
# and Courier New, DejaVu Sans for Verdana; the artwork generator's DejaVu
# faces, whose test renders the editor's images), the fuzzing and benchmarking
# tools, and what the release archives and the README's picture are made with
# (zip, pngquant), and for the LV2 build its headers, lilv (our own LV2 test
# host) and Debian's LV2 tools (lv2-dev, liblilv-dev, lilv-utils, sordi).
# Idempotent: a second run installs nothing and rebuilds nothing.
#
# The mingw builds of libpng and libsndfile come from Debian's source packages,
# built static into the dependency cache (.deps/ at the top of the checkout, or
# $QUILLET_DEPS).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deps=${QUILLET_DEPS:-$here/.deps}
export DEBIAN_FRONTEND=noninteractive

sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

packages=(
  cmake ninja-build g++ make pkg-config dpkg-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
  libz-mingw-w64-dev
  wine wine64 wine32:i386 qemu-user
  xvfb xauth
  googletest libbenchmark-dev
  libpng-dev zlib1g-dev libsndfile1-dev
  libfreetype-dev libfontconfig-dev fonts-liberation fonts-liberation2 fonts-dejavu-core
  fonts-dejavu-extra
  libx11-dev libxext-dev libxtst-dev xdotool ardour
  qtractor jackd2
  clang clang-format libclang-rt-14-dev llvm
  valgrind sox locales
  zip unzip pngquant
  lv2-dev liblilv-dev lilv-utils sordi
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed'; then
    missing+=("$p")
  fi
done

# The 32-bit half of Wine needs the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  sudo_if_needed dpkg --add-architecture i386
  need_update=1
fi

# Source entries, derived from the machine's own binary entries (the security
# suite serves no sources, so it is left out). Written once.
src_list=/etc/apt/sources.list.d/quillet-sources.sources
if [ ! -f "$src_list" ] && [ -f /etc/apt/sources.list.d/debian.sources ]; then
  awk 'BEGIN { RS=""; ORS="\n\n" }
       /Suites:[^\n]*security/ { next }
       { sub(/Types: deb/, "Types: deb-src"); print }' \
    /etc/apt/sources.list.d/debian.sources | sudo_if_needed tee "$src_list" >/dev/null
  need_update=1
fi
if [ ! -f "$src_list" ] && [ -f /etc/apt/sources.list ]; then
  grep -E '^deb ' /etc/apt/sources.list | grep -v security | sed 's/^deb /deb-src /' \
    | sudo_if_needed tee /etc/apt/sources.list.d/quillet-sources.list >/dev/null
  src_list=/etc/apt/sources.list.d/quillet-sources.list
  need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
  sudo_if_needed apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_if_needed apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# A decimal-comma locale, for the tests that prove number texts ignore it.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  sudo_if_needed sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | sudo_if_needed tee -a /etc/locale.gen >/dev/null
  sudo_if_needed locale-gen >/dev/null
fi

# Static libraries for both mingw targets, built from Debian's source packages.
#   fetch_source SOURCE-PACKAGE FOLDER: unpacks the newest main-suite version
#   (security-suite versions serve no sources) into $deps/src/FOLDER, once.
fetch_source() {
  local package=$1 folder=$2
  [ -d "$deps/src/$folder" ] && return 0
  mkdir -p "$deps/src"
  local tmp ver dir
  tmp=$(mktemp -d)
  for ver in $(apt-cache showsrc "$package" | awk '/^Version:/ { print $2 }' | sort -rV | uniq); do
    if (cd "$tmp" && apt-get source -qq "$package=$ver" >/dev/null 2>&1); then break; fi
  done
  dir=$(find "$tmp" -mindepth 1 -maxdepth 1 -type d | head -n 1)
  [ -n "$dir" ] || { echo "setup: could not fetch $package sources" >&2; exit 1; }
  mv "$dir" "$deps/src/$folder"
  rm -rf "$tmp"
}

#   build_static FOLDER TRIPLE TOOLCHAIN LIBRARY [CMAKE-OPTIONS...]: builds and
#   installs into $deps/TRIPLE unless LIBRARY is already there.
build_static() {
  local folder=$1 triple=$2 toolchain=$3 library=$4
  shift 4
  local prefix=$deps/$triple build=$deps/build-$folder-$triple
  [ -f "$prefix/lib/$library" ] && return 0
  echo "setup: building $folder for $triple"
  cmake -S "$deps/src/$folder" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchains/$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >/dev/null
  cmake --build "$build" --target install >/dev/null
  rm -rf "$build"
}

for target in "x86_64-w64-mingw32 mingw-x86_64.cmake" "i686-w64-mingw32 mingw-i686.cmake"; do
  set -- $target
  triple=$1 toolchain=$2
  # libpng, with the mingw zlib.
  if [ ! -f "$deps/$triple/lib/libpng16.a" ]; then fetch_source libpng1.6 libpng; fi
  build_static libpng "$triple" "$toolchain" libpng16.a \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DZLIB_LIBRARY="/usr/$triple/lib/libz.a" -DZLIB_INCLUDE_DIR="/usr/$triple/include"
  # libsndfile (the renderer's WAV files), with the external codecs (FLAC,
  # Ogg, Opus, MPEG) switched off: WAV needs none of them.
  if [ ! -f "$deps/$triple/lib/libsndfile.a" ]; then fetch_source libsndfile libsndfile; fi
  build_static libsndfile "$triple" "$toolchain" libsndfile.a \
    -DBUILD_SHARED_LIBS=OFF -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF \
    -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DENABLE_CPACK=OFF \
    -DINSTALL_MANPAGES=OFF -DENABLE_PACKAGE_CONFIG=ON -Wno-dev
done

echo "setup: ready (dependency cache in $deps)"
