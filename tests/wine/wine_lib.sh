#!/usr/bin/env bash
# Shared set-up for the Wine integration tests: a prefix of the test's own, Xvfb when a
# test shows windows, every command under timeout, and clean-up on exit.
#   source tests/wine/wine_lib.sh; wine_prefix win64|win32; wine_x; wine_run 30 C:\\x.exe ...
set -euo pipefail
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$WINE_LIB_DIR/../../tools/machine/runs_32bit.sh"
runs_32bit_decide

WINE_TMP=$(mktemp -d /tmp/tavwine.XXXXXX)
XVFB_PID=

# Where 32-bit programs cannot run, Wine is started as its 64-bit loader: Debian's "wine"
# command starts the 32-bit loader whenever wine32 is installed, even for a 64-bit prefix.
wine_use_64bit_loader() {
  local loader=/usr/lib/wine/wine64 server=/usr/lib/wine/wineserver64 bin=$WINE_TMP/bin name
  [ -x "$loader" ] || { echo "FAIL: $loader missing (./run wine-deps)" >&2; exit 1; }
  [ -x "$server" ] || server=/usr/lib/wine/wineserver
  mkdir -p "$bin"
  printf '#!/bin/sh\nexec %s "$@"\n' "$loader" >"$bin/wine"
  printf '#!/bin/sh\nexec %s "$@"\n' "$server" >"$bin/wineserver"
  for name in wineboot winepath msiexec regedit; do
    printf '#!/bin/sh\nexec %s %s.exe "$@"\n' "$loader" "$name" >"$bin/$name"
  done
  chmod +x "$bin"/*
  export PATH="$bin:$PATH" WINELOADER=$loader WINESERVER=$server
}
[ "$TAV_32BIT" = yes ] || wine_use_64bit_loader

wine_cleanup() {
  [ -n "${WINEPREFIX:-}" ] && timeout 20 wineserver -k >/dev/null 2>&1 || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$WINE_TMP"
}
trap wine_cleanup EXIT

# wine_prefix win64|win32: a fresh prefix in the test's temporary folder.
wine_prefix() {
  [ "$1" = win64 ] || [ "$TAV_32BIT" = yes ] ||
    fail "a $1 prefix needs 32-bit programs, which this machine does not run"
  export WINEARCH=$1
  export WINEPREFIX=$WINE_TMP/prefix-$1
  timeout 120 wineboot -i >/dev/null 2>&1
  timeout 20 wineserver -w || true
}

# wine_x: a virtual display for tests that show windows.
wine_x() {
  local n
  for n in 91 92 93 94 95 96 97 98; do
    if [ ! -e /tmp/.X11-unix/X$n ]; then
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      XVFB_PID=$!
      export DISPLAY=":$n"
      sleep 0.5
      return 0
    fi
  done
  echo "no free display" >&2
  return 1
}

# wine_run SECONDS program args...: run under wine with a time limit.
wine_run() {
  local limit=$1
  shift
  timeout "$limit" wine "$@"
}

# wine_exit_code SECONDS 'C:\path\x.exe args': the full 32-bit exit code (not only 8 bits).
wine_exit_code() {
  local limit=$1
  shift
  timeout "$limit" wine cmd /c "$* & echo errorlevel=%errorlevel%" 2>/dev/null |
    tr -d '\r' | sed -n 's/^errorlevel=//p' | tail -n 1
}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# check_record ran|skipped NAME [REASON]: one line in the run's record of checks
# (TAV_CHECK_LOG, kept by ./run test for its summary).
check_record() {
  [ -n "${TAV_CHECK_LOG:-}" ] || return 0
  printf '%s\t%s\t%s\n' "$1" "$2" "${3:-}" >>"$TAV_CHECK_LOG"
}

# needs_32bit NAME: true where 32-bit programs run; elsewhere says that the check NAME is
# skipped, and why, and records it. The one way a check may skip.
needs_32bit() {
  [ "$TAV_32BIT" = yes ] && return 0
  echo "SKIP $1: needs 32-bit programs ($TAV_32BIT_WHY)"
  check_record skipped "$1" "needs 32-bit programs: $TAV_32BIT_WHY"
  return 1
}

# utility_programs BUILD: the utility's programs that run here. Where 32-bit programs run,
# the shipped tavsetup.exe and the 32-bit test programs in a 32-bit prefix; elsewhere the
# 64-bit test build (tavsetup_x64_test.exe, the same sources with the refusal of 64-bit
# Windows off) and the 64-bit test programs in a 64-bit prefix. TAV_UTILITY_BITS=64 picks
# the 64-bit ones anywhere.
utility_programs() {
  local bits=${TAV_UTILITY_BITS:-}
  [ -n "$bits" ] || { [ "$TAV_32BIT" = yes ] && bits=32 || bits=64; }
  if [ "$bits" = 32 ]; then
    UTILITY_ARCH=win32 UTILITY_DIR=$1/win32 UTILITY_PROGRAM=tavsetup.exe
  else
    UTILITY_ARCH=win64 UTILITY_DIR=$1/win64 UTILITY_PROGRAM=tavsetup_x64_test.exe
  fi
  UTILITY_BITS=$bits
  echo "utility programs: $UTILITY_BITS-bit ($UTILITY_DIR/$UTILITY_PROGRAM, $UTILITY_ARCH prefix)"
}
