#!/usr/bin/env bash
# The road of the three changes in the utility's real windows on a simulated printer
# (tavsetup_sim.exe of the utility's programs that run here, under Wine on a virtual display,
# driven by real mouse clicks and typing):
#   driver type page shows "Printer Driver"; "Virtual Serial Port Driver" + Apply shows
#   "Switching the driver type..." and then "Virtual Serial Port Driver"; the response page
#   switches to "Not receive"; the iSerialNumber page applies a Manual "A1" and shows it;
#   Close ends the utility, which restarts the port link service.
# Once in English and once with LANG=ja_JP.UTF-8. The utility's timeline (requests on the
# wire, statuses posted, texts set on the controls) is asserted step by step; screenshots of
# every step go to $SHOTS (default <build>/wine-shots/tavsetup_sim/), with the timelines.
#   bash test_tavsetup_sim_road.sh <repo>/build
BUILD=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/wine_lib.sh"

utility_programs "$BUILD"
EXE=$UTILITY_DIR/tavsetup_sim.exe
LOCATE=$UTILITY_DIR/tavsetup_sim_locate.exe
SHOTS=${SHOTS:-$BUILD/wine-shots/tavsetup_sim}
[ -f "$EXE" ] || fail "$EXE not built"
[ -f "$LOCATE" ] || fail "$LOCATE not built"
mkdir -p "$SHOTS"

UTILITY_PID=
TIMELINE=
MARK=0
LANGUAGE=
TITLE=

# settle: until the utility has written nothing for a second (its queue is worked off and
# the windows are painted), at most 10 s.
settle() {
  local i last=-1 now quiet=0
  for ((i = 0; i < 100 && quiet < 10; i++)); do
    now=$(wc -l <"$TIMELINE")
    if [ "$now" = "$last" ]; then quiet=$((quiet + 1)); else quiet=0; fi
    last=$now
    sleep 0.1
  done
}

shot() {
  import -display "$DISPLAY" -window root "$SHOTS/$LANGUAGE-$1.png"
  echo "screenshot $SHOTS/$LANGUAGE-$1.png"
}

# mark: later waits look only at timeline lines written after this point.
mark() { MARK=$(wc -l <"$TIMELINE"); }

since_mark() { tail -n +"$((MARK + 1))" "$TIMELINE"; }

# wait_line TEXT [SECONDS]: a timeline line written since the mark contains TEXT.
wait_line() {
  local i limit=${2:-15}
  for ((i = 0; i < limit * 10; i++)); do
    since_mark | grep -qF -- "$1" && return 0
    sleep 0.1
  done
  tail -n 30 "$TIMELINE" >&2
  fail "[$LANGUAGE] timeline has no line with: $1"
}

# in_order TEXT...: since the mark, lines with these texts appear in this order.
in_order() {
  local text line=0 found
  for text in "$@"; do
    found=$(since_mark | tail -n +"$((line + 1))" | grep -nF -- "$text" | head -n 1 | cut -d: -f1) || true
    [ -n "$found" ] || { since_mark >&2; fail "[$LANGUAGE] not in order: $text"; }
    line=$((line + found))
  done
}

no_line() {  # no_line TEXT: no timeline line since the mark contains TEXT
  if since_mark | grep -qF -- "$1"; then
    since_mark >&2
    fail "[$LANGUAGE] unexpected: $1"
  fi
}

locate() {
  timeout 20 wine 'C:\tavsetup_sim_locate.exe' "$TITLE" "$@" 2>/dev/null | tr -d '\r'
}

click_at() {  # click_at "X Y"
  [ -n "$1" ] || fail "[$LANGUAGE] nothing to click"
  # shellcheck disable=SC2086
  xdotool mousemove $1 click 1
  sleep 0.3
}

click() { click_at "$(locate "$1")"; }
click_tab() { click_at "$(locate tab "$1")"; }

wait_exit() {
  local i
  for ((i = 0; i < $1 * 10; i++)); do
    kill -0 "$UTILITY_PID" 2>/dev/null || return 0
    sleep 0.1
  done
  fail "[$LANGUAGE] tavsetup_sim.exe still running after $1 s"
}

# road LANGUAGE TITLE PRINTER_DRIVER VIRTUAL_SERIAL SWITCHING_TYPE NOT_RECEIVE
#      SWITCHING_RESPONSE CHANGING_SERIAL
road() {
  LANGUAGE=$1 TITLE=$2
  local pd=$3 vspd=$4 switchingType=$5 notReceive=$6 switchingResponse=$7 changingSerial=$8
  TIMELINE=$WINEPREFIX/drive_c/tavsetup_sim-timeline.txt
  rm -f "$TIMELINE"
  MARK=0
  timeout 150 wine 'C:\tavsetup_sim.exe' >/dev/null 2>&1 &
  UTILITY_PID=$!
  timeout 30 xdotool search --sync --name "^$TITLE\$" >/dev/null || fail "no window titled '$TITLE'"
  for ((i = 0; i < 50; i++)); do [ -f "$TIMELINE" ] && break; sleep 0.1; done

  # Start: one printer in printer-driver mode; every page reads it.
  wait_line "driver-type 1009 \": $pd\""
  wait_line "response 1020 \": "
  wait_line "serial 1012 \": TAV HX-P300"
  in_order "printers found: 1" "device ID accepted" "serial 0" "driver-type 0" "response 0"
  settle
  shot 1-driver-type-start

  # Driver type: select the virtual serial type and apply.
  mark
  click 1025
  wait_line "select" 5
  shot 2-driver-type-selected
  mark
  click 1005
  wait_line "driver-type 1008 \"$switchingType\""
  sleep 0.3
  shot 3-driver-type-switching
  in_order "virtual serial port driver installed: yes" "TAVSWITCH" "answered 128 bytes" "watch" "write" \
    "driver-type 1008 \"$switchingType\""
  # The printer leaves and returns in the other class; the watch window holds back the
  # statuses until it is back, then every page reads again.
  wait_line "driver-type 1009 \": $vspd\"" 20
  in_order "WM_DEVICECHANGE" "printers found: 0" "printers found: 1" "status" "driver-type 0" \
    "driver-type 1009 \": $vspd\""
  no_line "driver-type 113"
  wait_line "response 1020 \": "
  settle
  shot 4-driver-type-switched

  # Printer response: the printer answers "Receive"; switch to "Not receive".
  click_tab 1
  sleep 0.3
  mark
  click 1017
  click 1019
  wait_line "response 1016 \"$switchingResponse\""
  sleep 0.3
  shot 5-response-switching
  in_order "response 1017 \"" "watch" "write" "response 1016 \"$switchingResponse\""
  wait_line "response 1020 \": $notReceive\"" 20
  settle
  shot 6-response-switched

  # iSerialNumber: Manual "A1", typed into the edit.
  click_tab 2
  sleep 0.3
  mark
  click 1002
  click 1004
  xdotool type --delay 100 A1
  sleep 0.5
  shot 7-serial-typed
  click 1010
  wait_line "serial 1007 \"$changingSerial\""
  sleep 0.3
  shot 8-serial-changing
  in_order "serial 1002 \"" "watch" "write 16 bytes [12 75 01 41 31 00 00 00 00 00 00 00 00 00" "serial 1007 \"$changingSerial\""
  wait_line 'serial 1012 ": TAV HX-P300\n\n: A1\n: D8K0012345"' 20
  settle
  shot 9-serial-shown

  # Close: the exit sequence restarts the port link service; the printer keeps its settings.
  mark
  click 1
  wait_exit 30
  wait_line "the utility has ended" 5
  in_order "main window closed" "ControlService Tavportsvc 1" "StartServiceW Tavportsvc" \
    "driver type: Virtual Serial Port Driver" "response switch: 0x72" 'iSerialNumber: "A1"'
  cp "$TIMELINE" "$SHOTS/$LANGUAGE-timeline.txt"
  echo "timeline $SHOTS/$LANGUAGE-timeline.txt"
  timeout 20 wineserver -k || true
}

wine_x
wine_prefix "$UTILITY_ARCH"
cp "$EXE" "$LOCATE" "$WINEPREFIX/drive_c/"

road en "Communication Settings Utility" "Printer Driver" "Virtual Serial Port Driver" \
  "Switching the driver type..." "Not receive" "Switching the printer response setting" \
  "Changing the iSerial number"

if locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  export LANG=ja_JP.UTF-8
  road ja "通信設定ユーティリティ" "プリンタードライバー" "仮想シリアルポートドライバー" \
    "ドライバータイプの切替中..." "受信しない" "受信応答設定の切替中..." "iSerial番号の変更中..."
  unset LANG
else
  fail "locale ja_JP.UTF-8 missing (./run wine-deps generates it)"
fi

echo "test_tavsetup_sim_road: all checks passed"
