#!/usr/bin/env bash
# The printer link's real Win32 transport under Wine against a named pipe that plays the
# printer (pipe_transport_test.exe, of the utility's programs that run here): a write answered by a reply, a read pending at the
# deadline and cancelled, a reply-less write cancelled at the deadline, a zero-byte
# completion, a write cut short, an oversized write, a missing device.
#   bash test_transport_pipe.sh <repo>/build
BUILD=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/wine_lib.sh"

utility_programs "$BUILD"
EXE=$UTILITY_DIR/pipe_transport_test.exe
[ -f "$EXE" ] || fail "$EXE not built"

wine_prefix "$UTILITY_ARCH"
cp "$EXE" "$WINEPREFIX/drive_c/"
OUT=$WINE_TMP/pipe.txt
status=0
timeout 60 wine 'C:\pipe_transport_test.exe' 2>/dev/null | tr -d '\r' >"$OUT" || status=$?
cat "$OUT"
[ "$status" = 0 ] || fail "pipe_transport_test exited with $status"
grep -q '^0 failed$' "$OUT" || fail "no summary line"
grep -q '^FAIL' "$OUT" && fail "a check failed"
# Every case ran: the checks of each one are there.
for case in "write answered by a reply" "silent printer" "write without reply" \
  "zero-byte completion" "write cut short" "oversized write" "missing pipe"; do
  grep -q "^PASS $case" "$OUT" || fail "case did not run: $case"
done
[ "$(grep -c '^PASS' "$OUT")" -ge 24 ] || fail "fewer checks than expected"
echo "test_transport_pipe: all checks passed"
