#!/usr/bin/env bash
# The printer link's Win32 adapters under Wine (the utility's 32-bit probe, or where 32-bit
# programs cannot run its 64-bit build): the discovery finds no printer on a machine
# without one, and the service state change and spooler wait drive Wine's Spooler service.
#   bash test_printer_link_probe.sh <repo>/build
set -euo pipefail
BUILD=${1:?build folder}
source "$(dirname "$0")/wine_lib.sh"
utility_programs "$BUILD"
PROBE=$UTILITY_DIR/printer_link_probe.exe
[ -f "$PROBE" ] || fail "missing $PROBE"

wine_prefix "$UTILITY_ARCH"
cp "$PROBE" "$WINE_TMP/probe.exe"

out=$(wine_run 60 "$WINE_TMP/probe.exe" | tr -d '\r')
echo "$out"
grep -qx 'printers: 0' <<<"$out" || fail "discovery on a machine without printers"
grep -qx 'mode: virtual serial' <<<"$out" || fail "mode when nothing is found"
grep -qx 'path: ' <<<"$out" || fail "no path when nothing is found"

out=$(wine_run 120 "$WINE_TMP/probe.exe" spooler | tr -d '\r')
echo "$out"
grep -qx 'StartPrintSpooler: 1' <<<"$out" || fail "spooler start-up wait"
grep -qx 'stop Spooler: 1' <<<"$out" || fail "stop of a running service"
grep -qx 'stop Spooler again: 0' <<<"$out" || fail "stop of a stopped service does nothing"
grep -qx 'start Spooler: 1' <<<"$out" || fail "start of a stopped service"
grep -q '^unknown service: 0' <<<"$out" || fail "unknown service"
state=$(timeout 30 wine sc query Spooler | tr -d '\r' | sed -n 's/.*STATE *: *\([0-9]\).*/\1/p')
[ "$state" = 4 ] || fail "Spooler not running at the end (state $state)"
echo "PASS printer link probe"
