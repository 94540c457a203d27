#!/usr/bin/env bash
# run-with-display.sh STATE PROGRAM [ARGS...]
# Runs a native program that opens windows on the virtual X display kept for
# STATE (cmake/ensure-xvfb.sh) and passes on its exit code.
set -u
state=$1; shift
DISPLAY=$(bash "$(dirname "${BASH_SOURCE[0]}")/ensure-xvfb.sh" "$state") || exit 1
export DISPLAY
exec "$@"
