#!/usr/bin/env bash
# Shared set-up for the Wine integration tests: a prefix of the test's own, Xvfb when a
# test shows windows, every command under timeout, and clean-up on exit.
#   source tests/wine/wine_lib.sh; wine_prefix win64|win32; wine_x; wine_run 30 C:\\x.exe ...
set -euo pipefail
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

WINE_TMP=$(mktemp -d /tmp/tavwine.XXXXXX)
XVFB_PID=

wine_cleanup() {
  [ -n "${WINEPREFIX:-}" ] && timeout 20 wineserver -k >/dev/null 2>&1 || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$WINE_TMP"
}
trap wine_cleanup EXIT

# wine_prefix win64|win32: a fresh prefix in the test's temporary folder.
wine_prefix() {
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
