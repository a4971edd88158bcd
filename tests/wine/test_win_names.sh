#!/usr/bin/env bash
# The handle values mirrored in shared/win/ (INVALID_HANDLE_VALUE, the predefined registry
# keys) and the simulated world's interface and setup class GUIDs against the SDK's, in the
# 32-bit and the 64-bit build: win_names_check.exe of each build must print no FAIL line and
# "0 failed". The 32-bit one runs only where 32-bit programs run; its compile-time pins hold
# in its build everywhere.
#   bash test_win_names.sh <repo>/build
BUILD=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/wine_lib.sh"

for arch in win32 win64; do
  [ -f "$BUILD/$arch/win_names_check.exe" ] || fail "$BUILD/$arch/win_names_check.exe not built"
done

# One 64-bit prefix runs both programs (the 32-bit one under WOW64).
wine_prefix win64
for arch in win32 win64; do
  [ "$arch" = win64 ] || needs_32bit "32-bit win_names_check.exe (test_win_names.sh)" || continue
  cp "$BUILD/$arch/win_names_check.exe" "$WINEPREFIX/drive_c/names_$arch.exe"
  OUT=$WINE_TMP/names_$arch.txt
  status=0
  timeout 60 wine "C:\\names_$arch.exe" 2>/dev/null | tr -d '\r' >"$OUT" || status=$?
  cat "$OUT"
  bits=32
  [ "$arch" = win64 ] && bits=64
  grep -q "^bits $bits$" "$OUT" || fail "$arch: not a $bits-bit program"
  grep -q '^FAIL' "$OUT" && fail "$arch: a mirrored or copied value differs from the SDK's"
  grep -q '^0 failed$' "$OUT" || fail "$arch: no summary line"
  [ "$status" = 0 ] || fail "$arch: win_names_check exited with $status"
  [ "$(grep -c '^PASS' "$OUT")" -eq 12 ] || fail "$arch: fewer checks than expected"
done
echo "test_win_names: all checks passed"
