#!/usr/bin/env bash
# Sets up the machine (scripts/setup.sh), then builds and runs every test:
#   native        unit tests, end-to-end tests through the Linux shared object
#                 and Quillet.clap (its renders bit-identical to the VST 2 build's)
#                 and the LV2 bundle (our lilv host, Debian's validators,
#                 lv2apply, Ardour)
#   native-tsan   the same under ThreadSanitizer (instance lock, concurrent entries)
#   win64, win32  the same suites cross-compiled, run under Wine, loading the
#                 shipped Quillet64.dll and Quillet.dll (and the 64-bit Quillet.clap)
#   fuzz          libFuzzer targets, replaying their corpora and running briefly,
#                 and every unit test again under AddressSanitizer and UBSan
#   format        every C++ file as .clang-format lays it out
#   cross-build   the 32- and 64-bit DLLs render the same signal alike, and
#                 both agree with the Linux build on every factory program
#   render-vst3   the VST 3 bundle renders every factory program bit for bit
#                 as the VST 2 binary of the same build (native, win64)
#   release       the release archives, made from clean builds, hold exactly
#                 the binaries tested above, made for the web host and domain
#                 given below
# Stops at nothing: every stage runs, failures are counted, and the exit code
# is non-zero when any stage failed.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/setup.sh || { echo "setup failed"; exit 1; }

# Every plug-in instance the tests make keeps its settings file here.
export QUILLET_LOCAL_APPDATA=$PWD/build/test-appdata
mkdir -p "$QUILLET_LOCAL_APPDATA"

# cmake/run-wine.sh keeps one Wine server per prefix alive between tests;
# stop them when the run ends so nothing outlives it.
# The virtual X servers of the window tests (cmake/ensure-xvfb.sh) too.
stop_wine_servers() {
  local prefix state display pid
  for prefix in build/win64/wineprefix* build/win32/wineprefix*; do
    [ -d "$prefix" ] && WINEPREFIX=$PWD/$prefix /usr/lib/wine/wineserver -k 2>/dev/null
  done
  for state in build/*/*.xvfb; do
    [ -f "$state" ] || continue
    read -r display pid <"$state"
    kill "$pid" 2>/dev/null
    rm -f "$state"
  done
  return 0
}
trap stop_wine_servers EXIT

# The maker's web site as the release is told it: test values under the
# reserved .invalid domain, which never resolves (the update check's tests
# bring servers of their own). Every preset is built with them, so that the
# release's clean builds can be compared with the tested ones byte for byte.
web_host=www.quillet-release.invalid
web_domain=quillet-release.invalid

passed=0
failed=0
failures=()
stage() {
  local name=$1; shift
  echo "=== $name"
  local start=$SECONDS
  if "$@"; then
    passed=$((passed + 1))
    echo "=== $name: ok ($((SECONDS - start)) s)"
  else
    failed=$((failed + 1))
    failures+=("$name")
    echo "=== $name: FAILED ($((SECONDS - start)) s)"
  fi
}

build_and_test() {
  local preset=$1
  cmake --preset "$preset" -DQUILLET_WEB_HOST="$web_host" -DQUILLET_WEB_DOMAIN="$web_domain" \
    >/dev/null && cmake --build --preset "$preset" && ctest --preset "$preset"
}

# The 32- and 64-bit DLLs run the same deterministic render (written by the
# e2e tests); SSE2 arithmetic on both makes them agree.
compare_builds() {
  local ok=0
  for precision in float double; do
    bash tools/compare-renders.sh \
      build/win64/tests/e2e/quillet-render-$precision.raw \
      build/win32/tests/e2e/quillet-render-$precision.raw "$precision" || ok=1
  done
  return $ok
}

# The archives from clean builds, checked against the binaries tested here.
release_and_check() {
  bash scripts/release.sh --web-host "$web_host" --web-domain "$web_domain" &&
    bash scripts/check-release.sh --web-host "$web_host" --web-domain "$web_domain"
}

stage format bash scripts/check-format.sh
stage native build_and_test native
stage native-tsan build_and_test native-tsan
stage win64 build_and_test win64
stage win32 build_and_test win32
stage cross-build compare_builds
# The Windows builds and the native one render all ten factory programs alike
# (the maths libraries differ in the last bits, hence the tolerance).
stage render-native-vs-win64 bash tools/render/compare-builds.sh build/native build/win64 1e-12
stage render-native-vs-win32 bash tools/render/compare-builds.sh build/native build/win32 1e-12
stage render-vst3-native bash tools/render/compare-vst3.sh build/native
stage render-vst3-win64 bash tools/render/compare-vst3.sh build/win64 wine
stage release release_and_check
stage fuzz build_and_test fuzz

echo
[ ${#failures[@]} -gt 0 ] && echo "failed stages: ${failures[*]}"
echo "stages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
