#!/usr/bin/env bash
# run-wine.sh PREFIX PROGRAM [ARGS...]
# Runs a Windows program under Wine in the given prefix, headless and quiet.
# The prefix is initialised on first use; a lock keeps parallel tests from
# initialising it twice. The program's exit code is passed on.
set -u
prefix=$1; shift
export WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
mkdir -p "$prefix"
(
  flock 9
  if [ ! -f "$prefix/system.reg" ] || [ ! -f "$prefix/.quillet-ready" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
    touch "$prefix/.quillet-ready"
  fi
) 9>"$prefix.lock"
exec wine "$@"
