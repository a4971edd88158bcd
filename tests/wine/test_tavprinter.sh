#!/usr/bin/env bash
# tavprinter.exe under Wine beside the real service: help, version and the exit codes of bad
# arguments and of no printer; then a fake printer in virtual-serial mode (an interface of the
# printer class, no device behind it) that the service links to a fake port: list --json
# parses, names the printer and the COM port the link gives it, and reports the settings it
# cannot read with their Windows error; set finds the driver type already so and writes
# nothing; the utility's mutex is free again afterwards.
#   bash tests/wine/test_tavprinter.sh <repo>/build
set -euo pipefail
BUILD=${1:?usage: test_tavprinter.sh <repo>/build}
TOOL_SRC=$BUILD/win64/tavprinter/tavprinter.exe
SVC_SRC=$BUILD/win64/tavportsvc/Tavportsvc.exe
PROBE_SRC=$BUILD/win64/tests/wine/port_core_probe/tav_port_core_probe.exe
for f in "$TOOL_SRC" "$SVC_SRC" "$PROBE_SRC"; do
  [ -f "$f" ] || { echo "missing $f (build the win64 preset)" >&2; exit 1; }
done
source "$(dirname "$0")/wine_lib.sh"

wine_prefix win64
timeout 10 wineserver -p || true
mkdir -p "$WINEPREFIX/drive_c/TAV"
cp "$TOOL_SRC" "$SVC_SRC" "$PROBE_SRC" "$WINEPREFIX/drive_c/TAV/"
OUT=$WINE_TMP/out.txt
ERR=$WINE_TMP/err.txt

probe() { wine_run 60 'C:\TAV\tav_port_core_probe.exe' "$@" >"$OUT" 2>/dev/null; tr -d '\r' <"$OUT"; }
# tavprinter ARGS...: sets RC, TOOL_OUT and TOOL_ERR.
tavprinter() {
  RC=0
  wine_run 120 'C:\TAV\tavprinter.exe' "$@" >"$OUT" 2>"$ERR" </dev/null || RC=$?
  TOOL_OUT=$(tr -d '\r' <"$OUT")
  TOOL_ERR=$(tr -d '\r' <"$ERR")
}
reg64() { wine_run 30 reg "$@" /reg:64 >"$OUT" 2>/dev/null || true; tr -d '\r' <"$OUT"; }
expect_eq() { [ "$1" = "$2" ] || fail "$3: expected '$2', got '$1'"; }
expect_has() { printf '%s\n' "$1" | grep -qF -- "$2" || fail "$3: '$2' not in: $1"; }
json() { /usr/bin/python3 -c "import json,sys; d=json.loads(sys.stdin.read()); print($1)" <<<"$TOOL_OUT"; }

# 1. Help, version, bad arguments, no printer.
tavprinter --help
expect_eq "$RC" 0 "--help"
expect_has "$TOOL_OUT" "7  busy: the setup utility or another tool holds the printer" "exit code table"
tavprinter /VERSION
expect_eq "$TOOL_OUT" "tavprinter $(cat "$(dirname "$0")/../../VERSION")" "--version"
tavprinter set --colour red
expect_eq "$RC" 2 "unknown option"
expect_has "$TOOL_ERR" "usage: tavprinter" "usage on a bad argument"
tavprinter set --serial ABCDEFGHIJK
expect_eq "$RC" 2 "an iSerialNumber the page refuses"
tavprinter list
expect_eq "$RC" 5 "no printer"
tavprinter list --json
expect_eq "$RC" 5 "no printer, JSON"
expect_eq "$(json "d['schema'], len(d['printers'])")" "1 0" "empty JSON list"

# 2. A fake printer in virtual-serial mode, linked by the service to COM5.
read -r _ PRINTER < <(probe make-usb-printer)
read -r PORT _ < <(probe make-port)
[ -n "$PRINTER" ] && [ -n "$PORT" ] || fail "fake devices not created"
reg64 add "HKLM\\System\\CurrentControlSet\\Enum\\$PORT\\Device Parameters" /v PortName /t REG_SZ /d COM5 /f >/dev/null
wine_exit_code 60 'C:\TAV\Tavportsvc.exe -Service' >"$OUT"
# An auto-start service may be running already, which net reports as a failure.
if ! wine_run 60 net start Tavportsvc >"$OUT" 2>&1; then
  state=$(wine_run 30 sc query Tavportsvc 2>/dev/null | tr -d '\r' || true)
  grep -q RUNNING <<<"$state" || fail "net start Tavportsvc: $(tr -d '\r' <"$OUT")"
fi
echo "printer $PRINTER; port $PORT"

tavprinter list --json
echo "$TOOL_OUT"
expect_eq "$RC" 0 "list --json with the fake printer"
expect_eq "$(json "len(d['printers']), d['printers'][0]['driverType'], d['printers'][0]['comPort']")" \
  "1 serial COM5" "the printer and its COM port"
# Nothing answers behind the fake interface: the settings are null with the error that said so.
expect_eq "$(json "d['printers'][0]['response'], len(d['printers'][0]['errors']) > 0, all(type(e['code']) is int and e['message'] for e in d['printers'][0]['errors'])")" \
  "None True True" "unreadable settings"
tavprinter show --printer com5
expect_eq "$RC" 0 "show --printer COM5"
expect_has "$TOOL_OUT" "COM port:          COM5" "show names the port"
tavprinter set --printer COM5 --driver-type serial --log 'C:\TAV\set.log'
expect_eq "$RC" 0 "set, already so"
expect_has "$TOOL_OUT" "Driver type: already Virtual Serial Port Driver" "already so"
expect_has "$(cat "$WINEPREFIX/drive_c/TAV/set.log")" "tavprinter: Driver type: already" "log line"
# The mutex was let go: a second run is not refused as busy.
tavprinter show
expect_eq "$RC" 0 "a second run after the first"
wine_run 60 net stop Tavportsvc >"$OUT" 2>&1 || true

echo "PASS: tavprinter under Wine"
