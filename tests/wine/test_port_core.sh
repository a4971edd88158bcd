#!/usr/bin/env bash
# The port link core's real Win32 code paths under Wine, through tav_port_core_probe.exe:
# fake Ports devices and printer-class interfaces made with SetupAPI, real reconcile passes,
# the links read back through the registry and through SetupAPI.
#   bash test_port_core.sh <repo>/build
# Not shown by Wine: trace events (its tracing calls are stubs), device-event passes (it
# never delivers SERVICE_CONTROL_DEVICEEVENT), a driver that registers a COM port interface
# for a created port (Wine installs the INF's entries but runs no port driver).
set -euo pipefail
BUILD=${1:?usage: test_port_core.sh <repo>/build}
PROBE_EXE=$BUILD/win64/tests/wine/port_core_probe/tav_port_core_probe.exe
[ -f "$PROBE_EXE" ] || { echo "missing $PROBE_EXE (build the win64 preset)" >&2; exit 1; }
source "$(dirname "$0")/wine_lib.sh"

wine_prefix win64
cp "$PROBE_EXE" "$WINEPREFIX/drive_c/probe.exe"
probe() { wine_run 60 'C:\probe.exe' "$@" | tr -d '\r'; }
link_of() {  # instance id -> SymbolicLink value read with reg.exe in the 64-bit view
  wine_run 30 reg query "HKLM\\System\\CurrentControlSet\\Enum\\$1\\Device Parameters\\Tavportsvc" \
    /v SymbolicLink /reg:64 2>/dev/null | tr -d '\r' | sed -n 's/^ *SymbolicLink *REG_SZ *//p'
}
expect_eq() { [ "$1" = "$2" ] || fail "$3: expected '$2', got '$1'"; }

# The port driver package as far as the service relies on it: a Ports-class INF for the
# Tavport hardware ID, below the 32-bit program files folder.
INF_DIR="$WINEPREFIX/drive_c/Program Files (x86)/TAV/HX Series Printer/Tavport"
mkdir -p "$INF_DIR"
printf '%s\r\n' '[Version]' 'Signature="$WINDOWS NT$"' 'Class=Ports' \
  'ClassGuid={4D36E978-E325-11CE-BFC1-08002BE10318}' 'Provider=%Test%' \
  'DriverVer=01/01/2026,1.0.0.0' '' '[Manufacturer]' '%Test%=Models,NTamd64' '' \
  '[Models.NTamd64]' '%Port%=PortInstall,ROOT\PORTS\Tavport\0000' '' '[PortInstall]' '' \
  '[PortInstall.Services]' 'AddService=,2' '' '[Strings]' 'Test="Test"' 'Port="Test port"' \
  >"$INF_DIR/Tavport.inf"

read -r _ P1 < <(probe make-printer)
read -r _ P2 < <(probe make-printer)
read -r _ GONE < <(probe make-printer absent)
read -r FREE_PORT _ < <(probe make-port)
read -r P2_PORT _ < <(probe make-port "$P2")
read -r OTHER_PORT _ < <(probe make-port 'gone-printer')
[ -n "$P1" ] && [ -n "$FREE_PORT" ] || fail "fake devices not created"
echo "printers: $P1 $P2 (absent: $GONE); ports: $FREE_PORT $P2_PORT $OTHER_PORT"

# Pass 1: P1 takes the free port; P2 is already linked; the absent printer is not seen.
expect_eq "$(probe pass)" "pass done" "pass"
expect_eq "$(link_of "$FREE_PORT")" "$P1" "free port linked to the first printer"
expect_eq "$(link_of "$P2_PORT")" "$P2" "existing link kept"
expect_eq "$(link_of "$OTHER_PORT")" "gone-printer" "other link kept"
probe show | grep -F " => $P1" >/dev/null || fail "SetupAPI read-back lacks the new link"

# Pass 2 with a third printer and no free port: a new Ports device node is created from the
# INF and the driver update runs; Wine's "driver" registers no COM port interface, so the
# printer stays unlinked (the core traces event 24).
read -r _ P3 < <(probe make-printer)
expect_eq "$(probe pass)" "pass done" "pass with a new printer"
NEW_NODE=$(wine_run 30 reg query 'HKLM\System\CurrentControlSet\Enum\ROOT\PORTS' /reg:64 | tr -d '\r' |
  grep -c 'ROOT\\PORTS\\000[3-9]' || true)
[ "$NEW_NODE" -ge 1 ] || fail "no port device node was created for the third printer"
HWID=$(wine_run 30 reg query 'HKLM\System\CurrentControlSet\Enum\ROOT\PORTS\0003' /v HardwareID /reg:64 |
  tr -d '\r' | sed -n 's/^ *HardwareID *REG_MULTI_SZ *//p')
expect_eq "$HWID" 'ROOT\PORTS\Tavport\0000' "hardware ID of the created port"
probe show | grep -F " => $P3" >/dev/null && fail "third printer linked without a port interface"
expect_eq "$(link_of "$FREE_PORT")" "$P1" "links survive later passes"

# The utility's mutex held by another thread: the pass does nothing. Abandoned: it goes on.
read -r P4_PORT _ < <(probe make-port)
expect_eq "$(probe pass-held)" "pass done" "pass while the utility runs"
expect_eq "$(link_of "$P4_PORT")" "" "no link written while the utility's mutex is held"
expect_eq "$(probe pass-held abandon)" "pass done" "pass with an abandoned mutex"
expect_eq "$(link_of "$P4_PORT")" "$P3" "abandoned mutex: the pass links the waiting printer"

# The service's SetupDi adapter on its sets, as the simulation's one table of sets keeps them:
# a set it created is destroyed through it, a registered device registered again is left as
# it is with success, and every call refuses a handle never made (INVALID_HANDLE_VALUE, NULL)
# with ERROR_INVALID_HANDLE.
SETS=$(probe sets)
echo "$SETS" | sed -n 1,4p | grep -c ' ok=1 ' | grep -qx 4 || fail "set calls that should work: $SETS"
REFUSED=$(echo "$SETS" | grep -c '^SetupDi.* ok=0 error=6$' || true)
expect_eq "$REFUSED" 18 "calls refusing a handle never made with ERROR_INVALID_HANDLE: $SETS"

echo "PASS: port link core under Wine"
