#!/usr/bin/env bash
# dead-name-server.sh COMMAND [ARGS...]
# Runs COMMAND in a mount namespace of its own whose /etc/resolv.conf names a
# single name server, at a loopback address picked here and handed to the
# program in QUILLET_DEAD_NAME_SERVER; the program listens there itself and
# never answers, and the resolver is told to wait long for it (30 s, three
# times). So a host-name look-up meets a dead name server, on the real
# resolver, without touching the machine's own settings.
#
# Making the namespace needs root (or unshare's user namespaces); without it
# the command runs as it is and the case that needs the server skips itself.
set -u
conf=$(mktemp)
trap 'rm -f "$conf"' EXIT
address=127.83.$((RANDOM % 250 + 1)).$((RANDOM % 250 + 1))
printf 'nameserver %s\noptions timeout:30 attempts:3\n' "$address" >"$conf"
if ! unshare -m --propagation private true 2>/dev/null; then
  echo "dead-name-server: no mount namespace can be made here" >&2
  "$@"
  exit $?
fi
# Where the resolver's file cannot be covered the case skips itself too.
QUILLET_DEAD_NAME_SERVER=$address unshare -m --propagation private sh -c '
  if ! mount --bind "$0" /etc/resolv.conf 2>/dev/null; then
    echo "dead-name-server: /etc/resolv.conf cannot be covered here" >&2
    unset QUILLET_DEAD_NAME_SERVER
  fi
  exec "$@"' "$conf" "$@"
