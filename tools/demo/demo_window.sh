#!/usr/bin/env bash
# The real utility under Wine on a virtual display: opens its window in a fresh prefix (no
# printer there), saves a screenshot, and closes it again. tavsetup.exe in a 32-bit prefix,
# or where 32-bit programs cannot run its 64-bit test build in a 64-bit prefix.
#   bash tools/demo/demo_window.sh <repo>/build
BUILD=$(cd "$1" && pwd)
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
source "$ROOT/tests/wine/wine_lib.sh"

utility_programs "$BUILD"
EXE=$UTILITY_DIR/$UTILITY_PROGRAM
SHOT=$BUILD/demo/tavsetup-window.png
TITLE="Communication Settings Utility"
[ -f "$EXE" ] || fail "$EXE not built"
mkdir -p "$(dirname "$SHOT")"

echo
echo "== $UTILITY_PROGRAM ($UTILITY_BITS-bit) under Wine (virtual display) =="
wine_x
wine_prefix "$UTILITY_ARCH"
cp "$EXE" "$WINEPREFIX/drive_c/tavsetup.exe"
cp "$UTILITY_DIR/tavsetup_window_probe.exe" "$WINEPREFIX/drive_c/"
timeout 120 wine 'C:\tavsetup.exe' >/dev/null 2>&1 &
PID=$!
timeout 30 xdotool search --sync --name "^$TITLE\$" >/dev/null || fail "no window"
sleep 1
import -display "$DISPLAY" -window root "$SHOT"
echo "window \"$TITLE\" opened; screenshot: $SHOT"
timeout 20 wine 'C:\tavsetup_window_probe.exe' close "$TITLE" >/dev/null 2>&1 || true
wait "$PID" || true
echo "window closed"
