#!/usr/bin/env bash
# tavports.exe under Wine beside the real service: after the service's start-up pass,
# `tavports list` shows the link the pass wrote; `unlink` refuses while the printer is
# attached, clears the link once it is not, and the next start-up pass links the port again;
# after a printer swap `assign` gives the old COM name to the new printer, which the next
# pass keeps, and `prune` frees the port of a printer gone.
# Fake devices come from tav_port_core_probe.exe; the printer leaves and returns through its
# interface's "Linked" value, which is what DIGCF_PRESENT follows under Wine.
#   bash tests/wine/test_tavports.sh <repo>/build
set -euo pipefail
BUILD=${1:?usage: test_tavports.sh <repo>/build}
TOOL_SRC=$BUILD/win64/tavports/tavports.exe
SVC_SRC=$BUILD/win64/tavportsvc/Tavportsvc.exe
PROBE_SRC=$BUILD/win64/tests/wine/port_core_probe/tav_port_core_probe.exe
for f in "$TOOL_SRC" "$SVC_SRC" "$PROBE_SRC"; do
  [ -f "$f" ] || { echo "missing $f (build the win64 preset)" >&2; exit 1; }
done
source "$(dirname "$0")/wine_lib.sh"

wine_prefix win64
# One server for the whole test: a fresh one would start the auto-start service by itself.
timeout 10 wineserver -p || true
mkdir -p "$WINEPREFIX/drive_c/TAV"
cp "$TOOL_SRC" "$SVC_SRC" "$PROBE_SRC" "$WINEPREFIX/drive_c/TAV/"
OUT=$WINE_TMP/out.txt
ERR=$WINE_TMP/err.txt

# Output goes to files: a command may start services.exe, which keeps a pipe open.
probe() { wine_run 60 'C:\TAV\tav_port_core_probe.exe' "$@" >"$OUT" 2>/dev/null; tr -d '\r' <"$OUT"; }
# tavports ARGS...: sets RC, TOOL_OUT and TOOL_ERR.
tavports() {
  RC=0
  wine_run 60 'C:\TAV\tavports.exe' "$@" >"$OUT" 2>"$ERR" </dev/null || RC=$?
  TOOL_OUT=$(tr -d '\r' <"$OUT")
  TOOL_ERR=$(tr -d '\r' <"$ERR")
}
reg64() { wine_run 30 reg "$@" /reg:64 >"$OUT" 2>/dev/null || true; tr -d '\r' <"$OUT"; }
# reg_add ARGS...: a value the test depends on; a write that fails or times out is the failure.
reg_add() {
  wine_run 60 reg add "$@" /f /reg:64 >"$OUT" 2>&1 || fail "reg add $1: $(tr -d '\r' <"$OUT")"
}
link_of() {
  reg64 query "HKLM\\System\\CurrentControlSet\\Enum\\$1\\Device Parameters\\Tavportsvc" /v SymbolicLink |
    sed -n 's/^ *SymbolicLink *REG_SZ *//p'
}
expect_eq() { [ "$1" = "$2" ] || fail "$3: expected '$2', got '$1'"; }
expect_has() { printf '%s\n' "$1" | grep -qF -- "$2" || fail "$3: '$2' not in: $1"; }
# set_present PATH 0|1: the printer interface's "Linked" value.
set_present() {
  local path=$1 name
  name="##?#${path:4}"
  reg_add "HKLM\\System\\CurrentControlSet\\Control\\DeviceClasses\\{A4C7E912-3F58-4B06-9D2E-61B0F7C3D845}\\$name\\#\\Control" \
    /v Linked /t REG_DWORD /d "$2"
}
# service start|stop: the service in that state. An auto-start service may be there already
# (services.exe starts it when the server starts again), which net reports as a failure.
service() {
  local want=RUNNING state
  [ "$1" = stop ] && want=STOPPED
  wine_run 60 net "$1" Tavportsvc >"$OUT" 2>&1 && return 0
  state=$(wine_run 30 sc query Tavportsvc 2>/dev/null | tr -d '\r' || true)
  grep -q "$want" <<<"$state" || fail "net $1 Tavportsvc: $(tr -d '\r' <"$OUT")"
}
json() { PRINTER=$PRINTER /usr/bin/python3 -c "import json,os,sys; d=json.loads(sys.stdin.read()); print($1)" <<<"$TOOL_OUT"; }

read -r _ PRINTER < <(probe make-printer)
read -r PORT _ < <(probe make-port)
[ -n "$PRINTER" ] && [ -n "$PORT" ] || fail "fake devices not created"
reg_add "HKLM\\System\\CurrentControlSet\\Enum\\$PORT\\Device Parameters" /v PortName /t REG_SZ /d COM5
SERIAL=$(printf '%s' "$PRINTER" | cut -d'#' -f3)
echo "printer $PRINTER (serial $SERIAL); port $PORT"

tavports list
expect_eq "$RC" 0 "list before the service"
expect_has "$TOOL_OUT" "$PORT     COM5    free" "free port before the service"

wine_exit_code 60 'C:\TAV\Tavportsvc.exe -Service' >"$OUT"
expect_eq "$(tr -d '\r' <"$OUT")" 0 "-Service"
service start
expect_eq "$(link_of "$PORT")" "$PRINTER" "link written by the start-up pass"

# 1. The list shows the link the pass wrote, as a table and as JSON.
tavports list
expect_eq "$RC" 0 "list"
expect_has "$TOOL_OUT" "$PORT     COM5    linked      yes      $PRINTER" "table row"
tavports list --json
expect_eq "$RC" 0 "list --json"
expect_eq "$(json "d['ports'][0]['instanceId'], d['ports'][0]['comName'], d['ports'][0]['state'], d['ports'][0]['printerPresent'], d['ports'][0]['printer'] == os.environ['PRINTER']")" \
  "$PORT COM5 linked True True" "JSON row"
expect_eq "$(json "len(d['printersWithoutPort']), len(d['errors'])")" "0 0" "JSON lists"
tavports explain
expect_has "$TOOL_OUT" "COM5 is linked to the printer with serial $SERIAL, which is attached now." "explain"

# 2. unlink refuses while the printer is attached.
tavports unlink COM5 --yes
expect_eq "$RC" 1 "unlink of an attached printer's port"
expect_has "$TOOL_ERR" "which is attached now" "refusal"
expect_eq "$(link_of "$PORT")" "$PRINTER" "link kept after the refusal"

# 3. The printer leaves: unlink clears the link, the service leaves the port free.
set_present "$PRINTER" 0
tavports explain
expect_has "$TOOL_OUT" "which is not attached now." "explain after the printer left"
tavports unlink com5 --yes
expect_eq "$RC" 0 "unlink"
expect_has "$TOOL_OUT" "Cleared the link of COM5." "unlink message"
expect_eq "$(link_of "$PORT")" "" "link cleared"
tavports list
expect_has "$TOOL_OUT" "$PORT     COM5    free" "free after unlink"

# 4. The printer returns; the next start-up pass links the port again.
set_present "$PRINTER" 1
service stop
service start
expect_eq "$(link_of "$PORT")" "$PRINTER" "link written again by the next pass"
tavports list
expect_has "$TOOL_OUT" "$PORT     COM5    linked      yes      $PRINTER" "table row after the next pass"

# 5. Bad input: usage and exit 2; an unknown port names itself.
tavports frobnicate
expect_eq "$RC" 2 "unknown command"
expect_has "$TOOL_ERR" "usage: tavports" "usage on a bad argument"
tavports unlink COM9 --yes
expect_eq "$RC" 5 "unknown port"
expect_has "$TOOL_ERR" "no port is named 'COM9'" "unknown port message"
SVC_VERSION=$(/usr/bin/python3 -c "import pefile,sys
pe = pefile.PE(sys.argv[1])
print([v for t in pe.FileInfo[0] if t.Key == b'StringFileInfo' for s in t.StringTable
       for k, v in s.entries.items() if k == b'FileVersion'][0].decode())" "$SVC_SRC")
tavports --version
expect_eq "$TOOL_OUT" "tavports $SVC_VERSION" "the service's version"

# 6. The lane's printer is swapped: the old one leaves, the new one gets the next port (COM6);
# assign gives it COM5, which the next start-up pass keeps; prune frees a gone printer's port.
set_present "$PRINTER" 0
read -r PORT2 _ < <(probe make-port)
reg_add "HKLM\\System\\CurrentControlSet\\Enum\\$PORT2\\Device Parameters" /v PortName /t REG_SZ /d COM6
read -r _ NEW_PRINTER < <(probe make-usb-printer)
NEW_SERIAL=$(printf '%s' "$NEW_PRINTER" | cut -d'#' -f3)
service stop
service start
expect_eq "$(link_of "$PORT2")" "$NEW_PRINTER" "the new printer on the next port"
tavports prune --what-if
expect_has "$TOOL_OUT" "COM5  linked to the printer with serial $SERIAL" "prune --what-if"
tavports assign COM5 --printer "$NEW_SERIAL" --yes
expect_eq "$RC" 0 "assign: $TOOL_ERR"
expect_eq "$(link_of "$PORT")" "$NEW_PRINTER" "COM5 given to the new printer"
expect_eq "$(link_of "$PORT2")" "" "COM6 freed"
service stop
service start
expect_eq "$(link_of "$PORT")" "$NEW_PRINTER" "COM5 kept by the next pass"
expect_eq "$(link_of "$PORT2")" "" "COM6 still free after the next pass"
tavports list --json
expect_eq "$(json "d['schema'], d['service']['state'], d['service']['version'], bool(d['host']), d['time'][-1]")" \
  "1 running $SVC_VERSION True Z" "JSON inventory"
echo "list --json after the swap: $TOOL_OUT"
set_present "$NEW_PRINTER" 0
tavports prune --yes
expect_eq "$RC" 0 "prune: $TOOL_ERR"
expect_has "$TOOL_OUT" "Freed COM5 (was the printer with serial $NEW_SERIAL)." "prune message"
expect_eq "$(link_of "$PORT")" "" "COM5 freed by prune"
service stop

echo "PASS: tavports under Wine"
