#!/usr/bin/env bash
# ensure-xvfb.sh STATE
# Prints the X display (":N") of a virtual X server kept for STATE, starting
# one when none runs. STATE.xvfb records the display and the server's process;
# the server lives on for the programs that follow (scripts/test-all.sh stops
# it at the end). Windows programs under Wine and the native editor tests get
# their windows there, never on a developer's own screen.
set -u
state=$1.xvfb
mkdir -p "$(dirname "$state")"
(
  flock 8
  if [ -f "$state" ]; then
    read -r display pid <"$state"
    if kill -0 "$pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X${display#:}" ]; then
      echo "$display"
      exit 0
    fi
  fi
  for n in $(seq 90 299); do
    { [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; } && continue
    # Detached and with every descriptor closed, so it holds neither the lock
    # nor the output of the program that started it.
    setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 8>&- &
    pid=$!
    # Ours once the display's lock names our server: another state's server
    # started at the same moment may have taken the number first (ours then
    # exits), and its socket alone would hand us a display that is not ours.
    ours=
    for _ in $(seq 200); do
      if [ -e "/tmp/.X11-unix/X$n" ] && [ "$(tr -d ' \n' <"/tmp/.X$n-lock" 2>/dev/null)" = "$pid" ]; then
        ours=1
        break
      fi
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
    if [ -n "$ours" ]; then
      echo ":$n $pid" >"$state"
      echo ":$n"
      exit 0
    fi
  done
  echo "ensure-xvfb: no virtual X server could be started" >&2
  exit 1
) 8>"$state.lock"
