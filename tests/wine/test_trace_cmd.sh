#!/usr/bin/env bash
# The capture script Tavportsvc-trace.cmd under Wine's cmd, with a logman.exe stand-in first
# on PATH (Wine has no logman): its arguments, status without a session, start into a given
# or the default file (plain or circular), and stop naming the file of the last start with a
# decode command that points at the tmf folder and asks nothing.
#   bash tests/wine/test_trace_cmd.sh <repo>/build
BUILD=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/wine_lib.sh"

STUB=$BUILD/win64/tests/wine/logman_stub/logman.exe
[ -f "$STUB" ] || fail "$STUB not built"
GUID='{6F2D8B14-C3A7-4E95-B0D2-7A41E9C6F538}'
wine_prefix win64
C=$WINEPREFIX/drive_c
mkdir -p "$C/stub" "$C/tav/HX Series Printer"
cp "$STUB" "$C/stub/logman.exe"
# As the package stages it: the control GUID filled in, CRLF line ends.
sed -e "s/@TRACE_CONTROL_GUID@/$GUID/" -e 's/$/\r/' "$HERE/../../tools/package/Tavportsvc-trace.cmd" \
  >"$C/tav/HX Series Printer/Tavportsvc-trace.cmd"
SCRIPT='C:\tav\HX Series Printer\Tavportsvc-trace.cmd'
TMF='C:\tav\HX Series Printer\tmf'

# trace NAME ARGS: runs the script from C:\ and prints its exit code; output in NAME.out.
trace() {
  local name=$1
  shift
  # cmd /c, not call: Wine's call loses the script's "exit /b" code.
  printf '@set PATH=C:\\stub;%%PATH%%\r\n@cd /d C:\\\r\n@cmd /c ""%s" %s"\r\n@echo errorlevel=%%errorlevel%%\r\n' \
    "$SCRIPT" "$*" >"$C/run_$name.cmd"
  timeout 60 wine cmd /c "C:\\run_$name.cmd" 2>/dev/null | tr -d '\r' >"$WINE_TMP/$name.out"
  sed -n 's/^errorlevel=//p' "$WINE_TMP/$name.out"
}
logman_calls() { tr -d '\r' 2>/dev/null <"$C/stub/logman.log"; }
expect_out() {  # expect_out NAME TEXT
  grep -qF -- "$2" "$WINE_TMP/$1.out" || { cat "$WINE_TMP/$1.out" >&2; fail "$1: no '$2'"; }
}

n=0
for args in "" "bogus" "stop now" "status x" "start --circular" "start --circular 0" \
  "start --circular 12x" "start a.etl b.etl" "start -x"; do
  n=$((n + 1))
  code=$(trace "usage$n" "$args")
  [ "$code" = 87 ] || fail "'$args': exit [$code], expected 87"
  expect_out "usage$n" 'usage: Tavportsvc-trace.cmd start [file.etl] [--circular MB] | stop | status'
done
[ -z "$(logman_calls)" ] || fail "logman called for a wrong command line: $(logman_calls)"
echo "ok: $n wrong command lines get the usage (87) and no logman call"

code=$(trace status0 status)
[ "$code" = 1 ] || fail "status without a session: exit [$code]"
expect_out status0 'is not running; the last trace went to C:\ProgramData\TAV\Tavportsvc.etl.'
code=$(trace stop0 stop)
[ "$code" != 0 ] || fail "stop without a session succeeded (logman's negative exit code taken for success)"
grep -q tracerpt "$WINE_TMP/stop0.out" && fail "stop without a session printed a decode command"
echo "ok: status and stop without a session"

code=$(trace start1 'start "C:\traces\my run.etl" --circular 64')
[ "$code" = 0 ] || { cat "$WINE_TMP/start1.out" >&2; fail "start into a file: exit [$code]"; }
logman_calls | grep -qxF "start|Tavportsvc|-p|$GUID|0x1|0x4|-o|C:\\traces\\my run.etl|-f|bincirc|-max|64|-ets" ||
  fail "logman start arguments: $(logman_calls)"
[ -d "$C/traces" ] || fail "the .etl file's folder was not made"
code=$(trace start2 start)
[ "$code" != 0 ] || fail "a second start over a running session succeeded"
code=$(trace status1 status)
[ "$code" = 0 ] || fail "status of a running session: exit [$code]"
expect_out status1 'is running, into C:\traces\my run.etl.'
code=$(trace stop1 stop)
[ "$code" = 0 ] || fail "stop: exit [$code]"
expect_out stop1 "tracerpt \"C:\\traces\\my run.etl\" -tp \"$TMF\" -of CSV -o \"C:\\traces\\my run.etl.csv\" -y"
expect_out stop1 "tracefmt \"C:\\traces\\my run.etl\" -p \"$TMF\" -o \"C:\\traces\\my run.etl.txt\""
echo "ok: start into a circular file, status, stop names that file"

code=$(trace start3 'start rel.etl')
[ "$code" = 0 ] || fail "start into a relative file: exit [$code]"
logman_calls | tail -n 1 | grep -qxF "start|Tavportsvc|-p|$GUID|0x1|0x4|-o|C:\\rel.etl|-ets" ||
  fail "logman start arguments: $(logman_calls | tail -n 1)"
code=$(trace stop3 stop)
expect_out stop3 'tracerpt "C:\rel.etl" -tp'
rm -f "$C/ProgramData/TAV/Tavportsvc-trace.last"
code=$(trace start4 start)
[ "$code" = 0 ] || fail "start into the default file: exit [$code]"
logman_calls | tail -n 1 | grep -qxF "start|Tavportsvc|-p|$GUID|0x1|0x4|-o|C:\\ProgramData\\TAV\\Tavportsvc.etl|-ets" ||
  fail "logman start arguments: $(logman_calls | tail -n 1)"
code=$(trace stop4 stop)
expect_out stop4 'tracerpt "C:\ProgramData\TAV\Tavportsvc.etl" -tp'
echo "ok: a relative file is remembered whole; the default file"
echo "test_trace_cmd: all checks passed"
