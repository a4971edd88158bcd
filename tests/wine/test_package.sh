#!/usr/bin/env bash
# The two MSIs under Wine. The utility package refuses 64-bit Windows with its message (and,
# where 32-bit programs run, installs and uninstalls in a 32-bit prefix). The service
# package replaces the last one-package release (of the same version so far) in place: one
# Programs and Features entry, the utility and its shortcut gone, the service registered with
# the same entries that "Tavportsvc.exe -Service" writes, running, its recovery set; a repair
# brings a deleted program back; the uninstall leaves registry and file tree as before.
#   bash tests/wine/test_package.sh <repo>/build
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/wine_lib.sh"
source "$HERE/package_lib.sh"

BUILD=$(cd "$1" && pwd)
# A stand-in for the port driver package's folder: subfolders and a catalogue file kept.
DRIVER_DIR=$WINE_TMP/driver-package
mkdir -p "$DRIVER_DIR/amd64" "$DRIVER_DIR/x86 & arm64"
printf '[Version]\r\nSignature="$Windows NT$"\r\nClass=Ports\r\nCatalogFile=tavport.cat\r\n' \
  >"$DRIVER_DIR/Tavport.inf"
printf 'catalogue' >"$DRIVER_DIR/tavport.cat"
printf 'driver' >"$DRIVER_DIR/amd64/Tavport.dll"
printf 'driver' >"$DRIVER_DIR/x86 & arm64/Tavport's.dll"
mapfile -t MSIS < <(TAV_PACKAGE_OUT=$WINE_TMP/package package_build "$BUILD" --driver "$DRIVER_DIR")
MSI64=${MSIS[0]} MSI32=${MSIS[1]}
[ -f "$MSI64" ] && [ -f "$MSI32" ] || fail "the packages were not built"
OLD_MSI=$(old_package_build "$BUILD" "$WINE_TMP/old")
[ -f "$OLD_MSI" ] || fail "the $OLD_RELEASE_VERSION package was not built"
PRODUCT_NAME=$(sed -n 's/^name=//p' "$PKG_REPO/PRODUCT")
wine_x

# The utility package on 32-bit Windows: installs the utility, its shortcut and the driver
# package beside it; the uninstall leaves nothing.
if needs_32bit "the utility package installs and uninstalls in a 32-bit prefix (test_package.sh)"; then
  wine_prefix win32
  state_snapshot "$WINE_TMP/before32"
  code=$(msi_install "$MSI32" install32.log)
  [ "$code" = 0 ] || { msi_log_tail install32.log; fail "32-bit install: msiexec exit $code"; }
  utility_dir=$(unix_path 'C:\Program Files\TAV\HX Series Printer')
  cmp -s "$utility_dir/tavsetup.exe" "$BUILD/win32/tavsetup.exe" || fail "tavsetup.exe not installed"
  diff -r "$utility_dir/Tavport" "$DRIVER_DIR" >/dev/null || fail "driver package not beside the utility"
  utility_shortcut_exists || fail "no Start menu shortcut"
  code=$(msi_uninstall "$MSI32" uninstall32.log)
  [ "$code" = 0 ] || { msi_log_tail uninstall32.log; fail "32-bit uninstall: msiexec exit $code"; }
  state_snapshot "$WINE_TMP/after32"
  state_compare "$WINE_TMP/before32" "$WINE_TMP/after32" || fail "the utility package left something"
  timeout 20 wineserver -k >/dev/null 2>&1 || true
  echo "ok: the utility package installs and uninstalls on 32-bit Windows"
fi

wine_prefix win64
services_debug_start "$WINE_TMP/services.err"
display_warm_up
application_log_source
state_snapshot "$WINE_TMP/before"

refusal=$(launch_refusal "$MSI32" "$BUILD/win64/tavsetup_window_probe.exe")
code=$(tail -n 1 <<<"$refusal")
[ "$code" = 1603 ] || fail "the utility package on 64-bit Windows: msiexec exit [$code], expected 1603"
grep -q "This package is for 32-bit Windows. On 64-bit Windows, install $(basename "$MSI64") instead." \
  <<<"$refusal" || { echo "$refusal" >&2; fail "no refusal naming the service package"; }
echo "ok: the utility package refuses 64-bit Windows, naming $(basename "$MSI64")"

code=$(msi_install "$OLD_MSI" old.log)
[ "$code" = 0 ] || { msi_log_tail old.log; fail "$OLD_RELEASE_VERSION install: msiexec exit $code"; }
[ -f "$(unix_path "$P32_DIR")/tavsetup.exe" ] && utility_shortcut_exists ||
  fail "the $OLD_RELEASE_VERSION package installed no utility and shortcut"
code=$(msi_install "$MSI64" upgrade.log)
[ "$code" = 0 ] || { msi_log_tail upgrade.log; fail "upgrade: msiexec exit $code"; }
expect_service_files "$BUILD" "$DRIVER_DIR"
expect_service_state RUNNING
[ ! -e "$(unix_path "$P32_DIR")/tavsetup.exe" ] || fail "the utility is left after the upgrade"
! utility_shortcut_exists || fail "the utility's shortcut is left after the upgrade"
[ "$(uninstall_entries "$PRODUCT_NAME")" = 1 ] || fail "not one Programs and Features entry"
uninstall_entry_dump "$PRODUCT_NAME" >"$WINE_TMP/arp.txt"
for value in 'Publisher *REG_SZ *TAV' "DisplayVersion *REG_SZ *$(head -n1 "$PKG_REPO/VERSION")" 'URLInfoAbout *REG_SZ *http' \
  'HelpLink *REG_SZ *http' 'Comments *REG_SZ *Port link service'; do
  grep -q "$value" "$WINE_TMP/arp.txt" || { cat "$WINE_TMP/arp.txt" >&2; fail "entry lacks $value"; }
done
# The entry's icon: Windows names it in DisplayIcon; Wine 8 only publishes the icon file to
# the installer's folder of the product (observed).
product_code=$(sed -n '1s/.*\\//p' "$WINE_TMP/arp.txt")
[ -f "$WINEPREFIX/drive_c/windows/Installer/$product_code/product.ico" ] ||
  grep -q 'DisplayIcon *REG_SZ *.' "$WINE_TMP/arp.txt" || fail "no product icon published"
sed 's/^/  /' "$WINE_TMP/arp.txt"
echo "ok: $OLD_RELEASE_VERSION replaced in place: one entry, utility and shortcut gone, service running"

# The Event Log source: the service's own file holds the messages. (The uninstall's
# comparison with the fresh prefix below shows the key gone again.)
source_file=$(timeout 30 wine reg query \
  'HKLM\System\CurrentControlSet\Services\EventLog\Application\Tavportsvc' /v EventMessageFile \
  /reg:64 2>/dev/null | tr -d '\r' | sed -n 's/^ *EventMessageFile *REG_[A-Z_]*SZ *//p')
[ "$source_file" = "$P64_DIR\Tavportsvc.exe" ] ||
  fail "Event Log source: EventMessageFile is '$source_file', expected '$P64_DIR\Tavportsvc.exe'"
echo "ok: the Event Log source Tavportsvc names $source_file"

# Recovery: sc.exe ran with the system's rights (the action's Return="check"). Wine's
# service manager keeps no failure actions; it only reports the reset period it was given.
tr -d '\000\r' <"$WINEPREFIX/drive_c/pkg/upgrade.log" |
  grep -q 'Action ended [0-9:]*: SetServiceRecovery. Return value 1' ||
  fail "the recovery action did not succeed"
grep -q 'SERVICE_CONFIG_FAILURE_ACTIONS.*period 86400' "$WINE_TMP/services.err" ||
  fail "the service manager was given no failure actions"
echo "ok: recovery actions handed to the service manager (reset period 86400 s)"

# The same entries as the program's own registration.
registration_dump "$WINE_TMP/by-package.txt"
svc_exe "-UnregServer" >/dev/null
svc_exe "-Service" >/dev/null
registration_dump "$WINE_TMP/by-switch.txt"
diff -u "$WINE_TMP/by-switch.txt" "$WINE_TMP/by-package.txt" ||
  fail "the package's registration differs from -Service's"
timeout 30 wine sc start Tavportsvc >/dev/null 2>&1 || true
echo "ok: the package's registration equals -Service's"

rm -f "$(unix_path "$P64_DIR")/tavports.exe"
code=$(msi_repair "$MSI64" repair.log)
[ "$code" = 0 ] || { msi_log_tail repair.log; fail "repair: msiexec exit $code"; }
expect_service_files "$BUILD" "$DRIVER_DIR"
expect_service_state RUNNING
echo "ok: a repair brings a deleted program back, service running"

code=$(msi_uninstall "$MSI64" uninstall.log)
[ "$code" = 0 ] || { msi_log_tail uninstall.log; fail "uninstall: msiexec exit $code"; }
service_gone || fail "service entry left after the uninstall"
state_snapshot "$WINE_TMP/after"
state_compare "$WINE_TMP/before" "$WINE_TMP/after" || fail "the uninstall left something behind"
echo "ok: uninstalled; registry and files as before"
echo "test_package: all cases passed"
