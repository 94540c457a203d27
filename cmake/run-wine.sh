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

native32() { "$wine32" --version >/dev/null 2>&1; }

(
  flock 9
  if [ ! -f "$prefix/.quillet-ready" ]; then
    "$wine64" wineboot -i >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
    # Without a runnable 32-bit loader the 64-bit set-up leaves the 32-bit
    # system folder empty; fill it with Wine's 32-bit builtin modules.
    wow=$prefix/drive_c/windows/syswow64
    if [ ! -f "$wow/kernel32.dll" ] && [ -d /usr/lib/i386-linux-gnu/wine/i386-windows ]; then
      mkdir -p "$wow"
      cp -n /usr/lib/i386-linux-gnu/wine/i386-windows/*.dll /usr/lib/i386-linux-gnu/wine/i386-windows/*.exe "$wow"/ 2>/dev/null
    fi
    touch "$prefix/.quillet-ready"
  fi
  # One long-lived server per prefix. A server started by a client exits three
  # seconds after its last client; a client connecting in that moment dies with
  # "recvmsg: Connection reset by peer", and slow emulated clients hit that
  # window often. Starting it here, under the lock, means every client finds a
  # running server; if one is already running this fails at once and nothing
  # more is done. A fresh server's system processes (services and devices)
  # live as long as the server and keep the standard streams of the client
  # that started them: a test runner would wait for them to close. So one
  # quiet client starts them first. The lock descriptor is closed for both,
  # or they would hold the lock while they live.
  if /usr/lib/wine/wineserver -p"${QUILLET_WINESERVER_PERSIST:-120}" </dev/null >/dev/null 2>&1 9>&-; then
    "$wine64" wineboot </dev/null >/dev/null 2>&1 9>&-
  fi
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
