#!/usr/bin/env bash
# check-exports.sh OBJDUMP BINARY SYMBOL...
# Fails unless BINARY exports exactly the given symbols (a plug-in module its
# format's entries, e.g. VSTPluginMain and main for VST 2) and, for a Windows
# DLL, imports only Windows system DLLs (no mingw runtime: libgcc, libstdc++,
# libwinpthread must be linked in statically); a native .so may need only
# libraries every Linux desktop has (the C and C++ runtimes, libpng, zlib,
# FreeType, fontconfig, Xlib).
set -euo pipefail
export LC_ALL=C
objdump=$1 bin=$2
shift 2
expected=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
# Windows modules are PE files whatever their suffix (.dll, .clap, .vst3).
if [ "$(head -c 2 "$bin")" = MZ ]; then kind=pe; else kind=elf; fi
case "$kind" in
  pe)
    dump=$("$objdump" -p "$bin")
    exports=$(printf '%s\n' "$dump" | awk '/\[Ordinal\/Name Pointer\] Table/ { t=1; next } t && /^[ \t]*\[/ { print $NF; next } t { t=0 }' | sort | tr '\n' ' ')
    imports=$(printf '%s\n' "$dump" | awk '/DLL Name:/ { print tolower($3) }' | sort -u)
    allowed='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|comctl32|comdlg32|wininet|msvcrt|ucrtbase|ws2_32|winmm|version|msimg32|api-ms-win-.*)\.dll$'
    bad=$(printf '%s\n' "$imports" | grep -Ev "$allowed" || true)
    if [ -n "$bad" ]; then
      echo "check-exports: $bin imports non-system DLLs: $bad" >&2; exit 1
    fi
    ;;
  *)
    # Defined global symbols, functions or data (an entry may be a record).
    exports=$("$objdump" -T "$bin" | awk '$2 ~ /g/ && $4 != "*UND*" { print $NF }' | sort | tr '\n' ' ')
    needed=$("$objdump" -p "$bin" | awk '$1 == "NEEDED" { print $2 }' | sort -u)
    # (The sanitizer builds, which are never shipped, add their runtimes; the
    # thread-contract checks of non-Release builds use thread-local storage,
    # which may bring in the dynamic linker, on every Linux system.)
    allowed='^(libc|libm|libgcc_s|libstdc\+\+|libpng16|libz|libfreetype|libfontconfig|libX11|libtsan|libasan|libubsan|ld-linux-x86-64)\.so\.[0-9]+$'
    bad=$(printf '%s\n' "$needed" | grep -Ev "$allowed" || true)
    if [ -n "$bad" ]; then
      echo "check-exports: $bin needs libraries a stock desktop may lack: $bad" >&2; exit 1
    fi
    ;;
esac
if [ "$exports" != "$expected" ]; then
  echo "check-exports: $bin exports '$exports', expected exactly '$expected'" >&2; exit 1
fi
