#!/usr/bin/env bash
# ensure-xvfb.sh STATE
# Prints the X display (":N") of a virtual X server kept for STATE, starting
# one when none runs. STATE.xvfb records the display and the server's process;
# the server lives on for the programs that follow (scripts/test-all.sh stops
# it at the end). Windows programs under Wine and the native editor tests get
# their windows there, never on a developer's own screen. The screen holds the
# editor at 200 % (1968 x 864) with room around it. The server never resets
# when its last client leaves: a reset refuses connections for a moment, and
# tests that close every connection between their cases then fail to connect.
set -u
screen=2560x1440x24
state=$1.xvfb
mkdir -p "$(dirname "$state")"
(
  flock 8
  if [ -f "$state" ]; then
    read -r display pid <"$state"
    # A server left from an older checkout (a smaller screen, resets) is not
    # kept.
    if kill -0 "$pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X${display#:}" ]; then
      if tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q -- "-screen 0 $screen -noreset "; then
        echo "$display"
        exit 0
      fi
      kill "$pid" 2>/dev/null
    fi
  fi
  for n in $(seq 90 299); do
    { [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; } && continue
    # Detached and with every descriptor closed, so it holds neither the lock
    # nor the output of the program that started it.
    setsid Xvfb ":$n" -screen 0 "$screen" -noreset -nolisten tcp </dev/null >/dev/null 2>&1 8>&- &
    pid=$!
    for _ in $(seq 200); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
    # Another state (or another checkout's tests) may have started a server on
    # the same number at the same moment; the socket is then that server's,
    # and ours has lost. The server holding the display wrote its process id
    # into the lock file: only ours counts.
    owner=$(tr -dc '0-9' <"/tmp/.X$n-lock" 2>/dev/null)
    if [ -e "/tmp/.X11-unix/X$n" ] && [ "$owner" = "$pid" ] && kill -0 "$pid" 2>/dev/null; then
      echo ":$n $pid" >"$state"
      echo ":$n"
      exit 0
    fi
    kill "$pid" 2>/dev/null
  done
  echo "ensure-xvfb: no virtual X server could be started" >&2
  exit 1
) 8>"$state.lock"
