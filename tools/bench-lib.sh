# bench-lib.sh: what the callgrind benchmark scripts share, sourced by
# tools/bench-*-callgrind.sh.

# Prints the path of the benchmark program TARGET, built in BUILD (configured
# as the "bench" preset when it is not yet), or BENCH when that is set.
bench_program() {
  local build=$1 target=$2 root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  if [ -n "${BENCH:-}" ]; then
    echo "$BENCH"
    return
  fi
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLET_BENCH=ON \
      -DQUILLET_TESTS=OFF >/dev/null
  fi
  cmake --build "$build" --target "$target" >/dev/null
  find "$build" -name "$target" -type f -perm -u+x | head -n 1
}

# Runs PROGRAM ARGS... under callgrind with the collection option OPTION
# (e.g. --toggle-collect=NAME): its output goes to OUT/stdout and OUT/stderr;
# prints the instructions collected.
callgrind_instructions() {
  local out=$1 option=$2
  shift 2
  command -v valgrind >/dev/null || { echo "valgrind is not installed" >&2; exit 1; }
  valgrind --tool=callgrind "$option" --callgrind-out-file="$out/cg.out" "$@" \
    >"$out/stdout" 2>"$out/stderr"
  sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$out/stderr"
}
