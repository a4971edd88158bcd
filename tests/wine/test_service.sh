#!/usr/bin/env bash
# Tavportsvc.exe under Wine: installation switches, the service entry and AppID entries,
# removal, the exit codes when started from a shell, a start and stop through the service
# manager, and its Event Log entries. Every case runs in a fresh win64 prefix.
#   bash tests/wine/test_service.sh <repo>/build
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/wine_lib.sh"

BUILD=$1
EXE_SRC="$BUILD/win64/tavportsvc/Tavportsvc.exe"
FAKES_SRC="$BUILD/win64/tests/wine/fake_devices/tav_fake_devices.exe"
[ -f "$EXE_SRC" ] || fail "$EXE_SRC not built"
[ -f "$FAKES_SRC" ] || fail "$FAKES_SRC not built"

APPID='{5E0A3C41-7B2D-4F19-A6C8-93D1E2F4B705}'
LIBID='{D3A85F1C-6E24-4B97-8C0B-5F91E2A7364D}'
SERVICE_KEY='HKLM\System\CurrentControlSet\Services\Tavportsvc'
EXE='C:\TAV\Tavportsvc.exe'
CASES=0

# fresh_prefix: a new win64 prefix with the executable installed at C:\TAV.
fresh_prefix() {
  if [ -n "${WINEPREFIX:-}" ]; then
    timeout 20 wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  fi
  wine_prefix win64
  mkdir -p "$WINEPREFIX/drive_c/TAV"
  cp "$EXE_SRC" "$FAKES_SRC" "$WINEPREFIX/drive_c/TAV/"
}

# reg64 query args...: the 64-bit registry view, CR removed.
reg64() {
  timeout 30 wine reg "$@" /reg:64 2>/dev/null | tr -d '\r' || true
}

# value KEY NAME: the data of one value ("" for the default value), or nothing.
value() {
  local out
  if [ -z "$2" ]; then
    out=$(reg64 query "$1" /ve)
  else
    out=$(reg64 query "$1" /v "$2")
  fi
  printf '%s\n' "$out" | sed -n 's/^ *[^ ].*  *REG_[A-Z_]*  *//p' | head -n 1
}

key_exists() {
  timeout 30 wine reg query "$1" /reg:64 >/dev/null 2>&1
}

fakes() {
  timeout 30 wine 'C:\TAV\tav_fake_devices.exe' "$@" 2>/dev/null | tr -d '\r'
}

run_exe() {
  wine_exit_code 60 "$EXE $*"
}

expect_eq() {
  [ "$1" = "$2" ] || fail "$3: expected [$2], got [$1]"
}

expect_service_installed() {
  expect_eq "$(value "$SERVICE_KEY" ImagePath)" "\"$EXE\"" "image path"
  expect_eq "$(value "$SERVICE_KEY" Start)" "0x2" "start type"
  expect_eq "$(value "$SERVICE_KEY" Type)" "0x10" "service type"
  expect_eq "$(value "$SERVICE_KEY" ErrorControl)" "0x1" "error control"
  value "$SERVICE_KEY" DependOnService | grep -q '^RPCSS' || fail "dependency on RPCSS"
  expect_eq "$(value "$SERVICE_KEY" DisplayName)" "TAV Virtual Serial Port Service" "display name"
  expect_eq "$(value "$SERVICE_KEY" Description)" \
    "Service program for TAV Virtual Serial Port." "description"
}

expect_script_entries() {
  expect_eq "$(value "HKCR\\AppID\\$APPID" "")" "Tavportsvc" "AppID default value"
  expect_eq "$(value 'HKCR\AppID\Tavportsvc.EXE' AppID)" "$APPID" "Tavportsvc.EXE AppID"
}

case_done() {
  CASES=$((CASES + 1))
  echo "ok: $1"
}

# 1. -Service: exit 0, the service entry with its exact values, AppID entries, type library.
fresh_prefix
expect_eq "$(run_exe -Service)" 0 "-Service exit code"
expect_service_installed
expect_script_entries
expect_eq "$(value "HKCR\\AppID\\$APPID" LocalService)" "Tavportsvc" "LocalService"
key_exists "HKCR\\TypeLib\\$LIBID\\1.0" || fail "type library not registered"
case_done "-Service installs"

# 2, 3. Other spellings.
for spelling in /service -SERVICE; do
  fresh_prefix
  expect_eq "$(run_exe "$spelling")" 0 "$spelling exit code"
  expect_service_installed
  expect_script_entries
  case_done "$spelling installs"
done

# 4. -RegServer after -Service: service and LocalService gone, script entries stay.
fresh_prefix
expect_eq "$(run_exe -Service)" 0 "-Service exit code"
expect_eq "$(run_exe -RegServer)" 0 "-RegServer exit code"
key_exists "$SERVICE_KEY" && fail "-RegServer left the service entry"
[ -z "$(value "HKCR\\AppID\\$APPID" LocalService)" ] || fail "-RegServer left LocalService"
expect_script_entries
case_done "-RegServer after -Service"

# 5. -UnregServer: service, AppID entries and type library gone; the AppID key stays.
fresh_prefix
expect_eq "$(run_exe -Service)" 0 "-Service exit code"
expect_eq "$(run_exe -UnregServer)" 0 "-UnregServer exit code"
key_exists "$SERVICE_KEY" && fail "-UnregServer left the service entry"
key_exists "HKCR\\AppID\\$APPID" && fail "-UnregServer left the AppID entry"
key_exists 'HKCR\AppID\Tavportsvc.EXE' && fail "-UnregServer left Tavportsvc.EXE"
key_exists "HKCR\\TypeLib\\$LIBID" && fail "-UnregServer left the type library"
key_exists 'HKCR\AppID' || fail "-UnregServer removed the AppID key"
case_done "-UnregServer"

# 6. Started from a shell: 2 without the AppID key, 1063 with it.
fresh_prefix
expect_eq "$(run_exe)" 2 "shell start without AppID key"
expect_eq "$(run_exe -RegServer)" 0 "-RegServer exit code"
expect_eq "$(wine_exit_code 90 "$EXE")" 1063 "shell start with AppID key"
case_done "started from a shell"

# 7. Through the service manager: running after net start, its start-up pass links a fake
# printer to a fake port, exit code 0 after net stop.
fresh_prefix
expect_eq "$(run_exe -Service)" 0 "-Service exit code"
port=$(fakes port)
printer=$(fakes printer)
[ -n "$port" ] && [ -n "$printer" ] || fail "fake devices not made"
expect_eq "$(fakes links)" "$port -" "link before the service ran"
# services.exe starts an auto-start service by itself when the server starts again, which
# net reports as a failure: only a service that is not running after it is one.
if ! out=$(timeout 60 wine net start Tavportsvc 2>&1); then
  timeout 30 wine sc query Tavportsvc | tr -d '\r' | grep -q 'RUNNING' ||
    fail "net start: $(printf '%s' "$out" | tr -d '\r')"
fi
timeout 30 wine sc query Tavportsvc | tr -d '\r' | grep -q 'RUNNING' || fail "not running"
expect_eq "$(fakes links)" "$port $printer" "link after the start-up pass"
timeout 60 wine net stop Tavportsvc >/dev/null 2>&1 || fail "net stop"
query=$(timeout 30 wine sc query Tavportsvc | tr -d '\r')
printf '%s\n' "$query" | grep -q 'STOPPED' || fail "not stopped after net stop"
printf '%s\n' "$query" | grep -Eq 'WIN32_EXIT_CODE *: *0 ' || fail "exit code after stop: $query"
case_done "net start links, net stop"

# 8. The Event Log, with the source registered as the package registers it. Wine's event log
# functions are stubs (RegisterEventSourceW gives a fixed handle, ReportEventW stores nothing,
# ReadEventLogW fails with ERROR_HANDLE_EOF, wevtutil prints nothing), so no entry can be
# read back: the calls are read from Wine's debug channels instead (source name; entry type,
# event ID and each insertion string; the source given back).
fresh_prefix
expect_eq "$(run_exe -Service)" 0 "-Service exit code"
EVENT_KEY='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Tavportsvc'
timeout 30 wine reg add "$EVENT_KEY" /v EventMessageFile /t REG_EXPAND_SZ /d "$EXE" /f /reg:64 \
  >/dev/null 2>&1 || fail "EventMessageFile not written"
timeout 30 wine reg add "$EVENT_KEY" /v TypesSupported /t REG_DWORD /d 7 /f /reg:64 \
  >/dev/null 2>&1 || fail "TypesSupported not written"
expect_eq "$(value "$EVENT_KEY" EventMessageFile)" "$EXE" "EventMessageFile"
port=$(fakes port)
printer=$(fakes printer)
[ -n "$port" ] && [ -n "$printer" ] || fail "fake devices not made"
# services.exe starts again with the debug channels, and with it the auto-start service.
timeout 20 wineserver -k >/dev/null 2>&1 || true
EVENTS=$WINE_TMP/eventlog-calls.txt
WINEDEBUG=fixme+advapi,trace+eventlog timeout 60 wine net start Tavportsvc >/dev/null 2>"$EVENTS" ||
  true  # already running when services.exe started it
timeout 30 wine sc query Tavportsvc | tr -d '\r' | grep -q 'RUNNING' || fail "not running"
timeout 60 wine net stop Tavportsvc >/dev/null 2>&1 || fail "net stop"
timeout 20 wineserver -w || true
calls=$(tr -d '\r' <"$EVENTS" | grep -E 'EventSource|ReportEventW')
# strings_of TYPE ID COUNT: the strings of the first entry of that type and ID. Wine prints
# "fixme:advapi:ReportEventW (handle,type,category,id,...)" and then each string as a C
# literal ("trace:eventlog:ReportEventW L\"...\"", backslashes doubled).
strings_of() {
  printf '%s\n' "$calls" | grep -A "$3" -m 1 -E "ReportEventW \([0-9A-F]+,$1,0x0000,$2," |
    tail -n +2 | sed -n 's/.*eventlog:ReportEventW L"\(.*\)"$/\1/p' | sed 's/\\\\/\\/g'
}
printf '%s\n' "$calls" | grep -q 'RegisterEventSourceW ((null),L"Tavportsvc")' ||
  fail "no RegisterEventSourceW for Tavportsvc: $calls"
expect_eq "$(strings_of 0x0004 0x40000402 1)" "$(tr -d '\r\n' <"$HERE/../../VERSION")" \
  "information 1026 (started) with the version"
expect_eq "$(strings_of 0x0004 0x40000405 2 | head -n 1)" "$printer" \
  "information 1029 (printer linked) with the printer's path"
printf '%s\n' "$calls" | grep -Eq 'ReportEventW \([0-9A-F]+,0x0004,0x0000,0x40000403,' ||
  fail "no information entry 1027 (stopping): $calls"
printf '%s\n' "$calls" | grep -q 'DeregisterEventSource' || fail "source not given back"
case_done "Event Log entries of a start, a link and a stop (seen through Wine's debug channels)"

echo "test_service: $CASES cases passed"
