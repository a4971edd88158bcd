#!/usr/bin/env bash
# The driver package lookup and the PnP refresh over the Win32 adapters under Wine, through
# tav_pages_probe.exe (32-bit, in a 64-bit prefix as on the machines the utility runs on
# beside the service; where 32-bit programs cannot run, its 64-bit build): SetupAPI takes the class names and gives the class GUID back whole,
# a name no class carries is skipped, the devices of the Ports class are listed to the end
# and every set is released. A fake root-enumerated port is the one Ports device. The
# driver check asks difxapi.dll, and SetupAPI where difxapi.dll cannot be loaded.
#   bash test_pages_probe.sh <repo>/build
set -euo pipefail
BUILD=$(cd "${1:?build folder}" && pwd)
source "$(dirname "$0")/wine_lib.sh"
utility_programs "$BUILD"
PROBE=$UTILITY_DIR/tav_pages_probe.exe
FAKES=$BUILD/win64/tests/wine/fake_devices/tav_fake_devices.exe
[ -f "$PROBE" ] || fail "missing $PROBE"
[ -f "$FAKES" ] || fail "missing $FAKES"

wine_prefix win64
cp "$PROBE" "$FAKES" "$WINEPREFIX/drive_c/"
expect_line() { grep -qxF "$1" <<<"$out" || fail "$2: no line \"$1\""; }

out=$(wine_run 60 'C:\tav_pages_probe.exe' | tr -d '\r')
echo "$out"
expect_line 'port driver available: 0' "driver package lookup without a package"
# Wine registers no "USB" setup class: the name succeeds with no GUID and nothing is opened.
expect_line 'SetupDiClassGuidsFromNameW USB 1: 1 required 0' "class name without a class"
ports='SetupDiClassGuidsFromNameW Ports 1: 1 required 1 {4D36E978-E325-11CE-BFC1-08002BE10318}'
expect_line "$ports" "Ports class GUID"
expect_line 'SetupDiGetClassDevsW {4D36E978-E325-11CE-BFC1-08002BE10318} 0x2: set' "present Ports devices"
expect_line 'SetupDiEnumDeviceInfo 0: 0 error 259' "empty Ports set"
[ "$(grep -c '^SetupDiDestroyDeviceInfoList: 1$' <<<"$out")" = 1 ] || fail "sets released"

wine_run 30 'C:\tav_fake_devices.exe' port >/dev/null 2>&1 || fail "fake port"
out=$(wine_run 60 'C:\tav_pages_probe.exe' | tr -d '\r')
echo "$out"
# Wine numbers device nodes from 0 in each process; the number is only passed on.
grep -qE '^SetupDiEnumDeviceInfo 0: 1 devinst [0-9]+$' <<<"$out" || fail "the fake port listed"
expect_line 'SetupDiEnumDeviceInfo 1: 0 error 259' "the list ends after the fake port"
grep -q '^pnp refresh done in ' <<<"$out" || fail "refresh did not finish"

# The driver check with a package INF: C:\ lists no "." entry, so the fixed name beside the
# probe is asked for, and one published INF sits in the INF folder. With Wine's difxapi.dll
# only DriverPackageGetPathW answers (Wine 8: a stub, ERROR_UNSUPPORTED_TYPE); with the
# library turned off the lookup asks SetupAPI for each published INF's store copy instead.
printf '[Version]\r\nSignature="$Windows NT$"\r\n' >"$WINEPREFIX/drive_c/Tavport.inf"
cp "$WINEPREFIX/drive_c/Tavport.inf" "$WINEPREFIX/drive_c/windows/inf/oem90.inf"
out=$(wine_run 60 'C:\tav_pages_probe.exe' | tr -d '\r')
echo "$out" | grep -v '^SetupDi'
grep -q '^DriverPackageGetPathW C:\\Tavport.inf: ' <<<"$out" || fail "difxapi not asked"
! grep -q '^SetupGetInfDriverStoreLocationW ' <<<"$out" || fail "SetupAPI asked beside difxapi"
expect_line 'port driver available: 0' "a package in no store, difxapi"
out=$(WINEDLLOVERRIDES="$WINEDLLOVERRIDES;difxapi=d" wine_run 60 'C:\tav_pages_probe.exe' | tr -d '\r')
echo "$out" | grep -v '^SetupDi'
expect_line 'DriverPackageGetPathW C:\Tavport.inf: 0x7E chars 0' "difxapi.dll turned off"
expect_line 'debug: MOD_NOT_FOUND' "difxapi.dll turned off"
# Wine 8 answers FALSE with ERROR_CALL_NOT_IMPLEMENTED; only the question is required here.
grep -q '^SetupGetInfDriverStoreLocationW oem90.inf: ' <<<"$out" || fail "published INF not asked"
expect_line 'debug: DRIVER_PACKAGE_NOT_IN_STORE' "no store copy of the package"
expect_line 'port driver available: 0' "a package in no store, SetupAPI"
echo "PASS pages probe"
