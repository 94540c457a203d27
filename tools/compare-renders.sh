#!/usr/bin/env bash
# compare-renders.sh A.raw B.raw float|double [TOLERANCE]
# Compares two raw renders (interleaved samples, float32 or float64) sample by
# sample. Without a tolerance they must be identical to the bit; otherwise the
# largest absolute difference must not exceed it. Prints the outcome.
set -euo pipefail
a=$1 b=$2 kind=$3 tolerance=${4:-0}
for f in "$a" "$b"; do
  [ -s "$f" ] || { echo "compare-renders: $f is missing or empty"; exit 1; }
done
if [ "$(stat -c %s "$a")" != "$(stat -c %s "$b")" ]; then
  echo "compare-renders: $kind renders differ in length"; exit 1
fi
if cmp -s "$a" "$b"; then
  echo "compare-renders: $kind renders identical ($(stat -c %s "$a") bytes)"
  exit 0
fi
format=f4; [ "$kind" = double ] && format=f8
paste -d' ' <(od -An -v -t$format -w8 "$a" | tr -s ' ' '\n' | grep -v '^$') \
            <(od -An -v -t$format -w8 "$b" | tr -s ' ' '\n' | grep -v '^$') |
  awk -v tol="$tolerance" -v kind="$kind" '
    { d = $1 - $2; if (d < 0) d = -d; if (d > max) { max = d; at = NR - 1 } if (d > 0) n++ }
    END {
      printf "compare-renders: %s renders differ in %d samples, largest difference %.3g at sample %d\n", kind, n, max, at
      exit (max > tol) ? 1 : 0
    }'
