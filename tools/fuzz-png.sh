#!/usr/bin/env bash
# fuzz-png.sh [SECONDS]  (default 300)
# Fuzzes the drawing layer's PNG decoder with libFuzzer, AddressSanitizer and
# UBSan (the fuzz preset, clang). Starts from the committed seed corpus; new
# inputs go to build/fuzz/png-corpus, crashes to build/fuzz/png-crashes.
set -euo pipefail
seconds=${1:-300}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/fuzz}
cmake --preset fuzz -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target lice_png_fuzzer
mkdir -p "$build/png-corpus" "$build/png-crashes"
cp -n "$root"/tests/lice/corpus/* "$build/png-corpus/" 2>/dev/null || true
"$build/tests/lice/lice_png_fuzzer" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
  -artifact_prefix="$build/png-crashes/" "$build/png-corpus"
