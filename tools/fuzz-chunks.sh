#!/usr/bin/env bash
# fuzz-chunks.sh [SECONDS]  (default 1800)
# Runs the chunk fuzzer of the fuzz preset for longer than CI does, keeping
# its growing corpus in build/fuzz/tests/plug/vst2/fuzz/chunk-corpus.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${1:-1800}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target chunk_fuzzer write_chunk_seeds
dir=build/fuzz/tests/plug/vst2/fuzz
mkdir -p "$dir/chunk-seeds" "$dir/chunk-corpus"
"$dir/write_chunk_seeds" "$dir/chunk-seeds"
"$dir/chunk_fuzzer" -max_total_time="$seconds" -print_final_stats=1 -jobs=2 -workers=2 \
  "$dir/chunk-corpus" "$dir/chunk-seeds" tests/plug/vst2/fuzz/corpus
