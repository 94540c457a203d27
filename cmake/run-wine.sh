#!/usr/bin/env bash
# run-wine.sh PREFIX PROGRAM [ARGS...]
# Runs a Windows program under Wine in the given prefix, headless and quiet,
# and passes on its exit code. The prefix is initialised once, under a lock
# so that parallel tests do not initialise it twice.
#
# 64-bit programs run with wine64. 32-bit programs need Wine's 32-bit loader,
# a 32-bit Linux program; on machines whose kernel does not run 32-bit
# programs (seen on some virtual machines) it runs under qemu-i386 instead.
# There the guest address space is kept just above 2 GiB: Wine probes the
# whole address space for reservations, and under emulation each probe is
# slow, so a smaller space starts in seconds instead of minutes.
set -u
prefix=$1; shift
program=$1
export WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine64=/usr/lib/wine/wine64
wine32=/usr/lib/wine/wine
mkdir -p "$prefix"
# Programs that open windows (QUILLET_WINE_DISPLAY set) get the prefix's own
# virtual X display, and so do its server and system programs, started below;
# everything else runs without one, whatever the caller's environment holds.
if [ -n "${QUILLET_WINE_DISPLAY:-}" ]; then
  DISPLAY=$(bash "$(dirname "${BASH_SOURCE[0]}")/ensure-xvfb.sh" "$prefix") || exit 1
  export DISPLAY
else
  unset DISPLAY
fi

# PE machine field: 0x14c is x86, 0x8664 is x86-64.
pe_machine() {
  local offset
  offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' '
}

# QUILLET_WINE_EMULATE=1 takes the emulated path even where the kernel runs
# 32-bit programs, to try on one machine what another one needs.
native32() { [ -z "${QUILLET_WINE_EMULATE:-}" ] && "$wine32" --version >/dev/null 2>&1; }

(
  flock 9
  if [ ! -f "$prefix/.quillet-ready" ]; then
    "$wine64" wineboot -i >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
    # Without a runnable 32-bit loader the 64-bit set-up leaves the 32-bit
    # system folder empty; fill it with Wine's 32-bit builtin modules, all of
    # them: the common dialogs need the print spooler, winspool.drv.
    wow=$prefix/drive_c/windows/syswow64
    if [ ! -f "$wow/kernel32.dll" ] && [ -d /usr/lib/i386-linux-gnu/wine/i386-windows ]; then
      mkdir -p "$wow"
      cp -n /usr/lib/i386-linux-gnu/wine/i386-windows/* "$wow"/ 2>/dev/null
    fi
    touch "$prefix/.quillet-ready"
  fi
  # One long-lived server per prefix, which ends a while after its last
  # client (QUILLET_WINESERVER_PERSIST seconds). A client that connects just
  # as a server reaches that limit dies with "recvmsg: Connection reset by
  # peer", so under the lock every run first makes sure of a server that has
  # just had a client: start one (this fails at once when one is running),
  # then connect one quiet client, which restarts the idle time. Only that
  # client can meet the limit; then it fails, the old server is waited out
  # and a fresh one is started. The program itself starts long before the
  # renewed limit.
  # The quiet client also brings up a fresh server's system processes
  # (services and devices): they live as long as the server and keep the
  # standard streams of the client that started them, which a test runner
  # would wait for. The lock descriptor is closed for all of these, or they
  # would hold the lock while they live.
  for attempt in 1 2 3; do
    /usr/lib/wine/wineserver -p"${QUILLET_WINESERVER_PERSIST:-120}" </dev/null >/dev/null 2>&1 9>&-
    "$wine64" wineboot </dev/null >/dev/null 2>&1 9>&- && break
    /usr/lib/wine/wineserver -w </dev/null >/dev/null 2>&1 9>&-
  done
) 9>"$prefix.lock"

if [ "$(pe_machine "$program")" = "014c" ]; then
  if native32; then
    exec "$wine32" "$@"
  fi
  # Cases the emulation cannot run are named by the test (ctest ENVIRONMENT).
  if [ -n "${QUILLET_EMULATION_FILTER:-}" ]; then
    echo "run-wine: under qemu-i386, leaving out ${QUILLET_EMULATION_FILTER}"
    export GTEST_FILTER="${QUILLET_EMULATION_FILTER}"
  fi
  export WINELOADERNOEXEC=1
  exec qemu-i386 -R 0x81000000 -L / "$wine32" "$@"
fi
exec "$wine64" "$@"
