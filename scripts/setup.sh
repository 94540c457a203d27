#!/usr/bin/env bash
# Installs everything a fresh Debian 12 machine needs to build and test Quillet:
# compilers (native and both mingw-w64 targets), Wine for 64- and 32-bit programs
# (with qemu-user for kernels that do not run 32-bit Linux programs),
# Xvfb, GoogleTest sources, zlib and libpng for every target, and the fuzzing and
# benchmarking tools. Idempotent: a second run installs nothing and rebuilds nothing.
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
  clang libclang-rt-14-dev llvm
  valgrind sox locales
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

# libpng for both mingw targets, from Debian's source package.
build_png() {
  local triple=$1 toolchain=$2
  local prefix=$deps/$triple
  [ -f "$prefix/lib/libpng16.a" ] && return 0
  mkdir -p "$deps/src"
  if [ ! -d "$deps/src/libpng" ]; then
    local tmp ver
    tmp=$(mktemp -d)
    # Newest main-suite version first; security-suite versions have no sources.
    for ver in $(apt-cache showsrc libpng1.6 | awk '/^Version:/ { print $2 }' | sort -rV | uniq); do
      if (cd "$tmp" && apt-get source -qq "libpng1.6=$ver" >/dev/null 2>&1); then break; fi
    done
    local dir
    dir=$(find "$tmp" -maxdepth 1 -type d -name 'libpng1.6-*' | head -n 1)
    [ -n "$dir" ] || { echo "setup: could not fetch libpng sources" >&2; exit 1; }
    mv "$dir" "$deps/src/libpng"
    rm -rf "$tmp"
  fi
  echo "setup: building libpng for $triple"
  cmake -S "$deps/src/libpng" -B "$deps/build-png-$triple" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchains/$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DZLIB_LIBRARY="/usr/$triple/lib/libz.a" -DZLIB_INCLUDE_DIR="/usr/$triple/include" \
    >/dev/null
  cmake --build "$deps/build-png-$triple" --target install >/dev/null
  rm -rf "$deps/build-png-$triple"
}
build_png x86_64-w64-mingw32 mingw-x86_64.cmake
build_png i686-w64-mingw32 mingw-i686.cmake

# libsndfile for both mingw targets (the renderer's WAV files), from Debian's
# source package, with the external codecs (FLAC, Ogg, Opus, MPEG) switched off:
# WAV needs none of them.
build_sndfile() {
  local triple=$1 toolchain=$2
  local prefix=$deps/$triple
  [ -f "$prefix/lib/libsndfile.a" ] && return 0
  mkdir -p "$deps/src"
  if [ ! -d "$deps/src/libsndfile" ]; then
    local tmp ver
    tmp=$(mktemp -d)
    for ver in $(apt-cache showsrc libsndfile | awk '/^Version:/ { print $2 }' | sort -rV | uniq); do
      if (cd "$tmp" && apt-get source -qq "libsndfile=$ver" >/dev/null 2>&1); then break; fi
    done
    local dir
    dir=$(find "$tmp" -maxdepth 1 -type d -name 'libsndfile-*' | head -n 1)
    [ -n "$dir" ] || { echo "setup: could not fetch libsndfile sources" >&2; exit 1; }
    mv "$dir" "$deps/src/libsndfile"
    rm -rf "$tmp"
  fi
  echo "setup: building libsndfile for $triple"
  cmake -S "$deps/src/libsndfile" -B "$deps/build-sndfile-$triple" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchains/$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF \
    -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DENABLE_CPACK=OFF \
    -DINSTALL_MANPAGES=OFF -DENABLE_PACKAGE_CONFIG=ON -Wno-dev \
    >/dev/null
  cmake --build "$deps/build-sndfile-$triple" --target install >/dev/null
  rm -rf "$deps/build-sndfile-$triple"
}
build_sndfile x86_64-w64-mingw32 mingw-x86_64.cmake
build_sndfile i686-w64-mingw32 mingw-i686.cmake

echo "setup: ready (dependency cache in $deps)"
