#!/usr/bin/env bash
# run-wine-idle-edge.sh RUN_WINE PREFIX PROGRAM
# Starts PROGRAM through the Wine runner again and again, each time after a
# pause around the prefix server's idle limit (1 s here): from well before
# the limit, when the server is still there, across it, to well after, when
# a fresh server must be started. A client that connects just as the server
# reaches its limit loses its connection unless the runner prevents it, so
# every run must exit 0 and print what the program prints.
set -u
run_wine=$1 prefix=$2 program=$3
export QUILLET_WINESERVER_PERSIST=1
failures=0
runs=0
for pause in 0.70 0.75 0.80 0.85 0.90 0.95 1.00 1.05 1.10 1.15 1.20 1.30; do
  output=$(bash "$run_wine" "$prefix" "$program" 2>&1)
  status=$?
  runs=$((runs + 1))
  if [ $status -ne 0 ] || [ "$(printf '%s' "$output" | tr -d '\r')" != "wine client ran" ]; then
    failures=$((failures + 1))
    echo "run after a pause of ${previous:-0} s: exit $status: $output"
  fi
  previous=$pause
  sleep "$pause"
done
# Nothing of this test outlives it.
WINEPREFIX=$prefix /usr/lib/wine/wineserver -w
echo "$runs runs at the idle limit's edge, $failures failed"
[ $failures -eq 0 ]
