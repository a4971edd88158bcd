#!/usr/bin/env bash
# The utility under Wine with a virtual display (tavsetup.exe in a win32 prefix, or where
# 32-bit programs cannot run its 64-bit test build in a win64 prefix):
#   - the main window with its three tabs and "Printer is undetected!!" (no
#     printer there); a second start restores the first window and exits; Close ends it;
#   - the same with LANG=ja_JP.UTF-8: the Japanese texts;
#   - tavsetup.exe in a win64 prefix: the WOW64 refusal box, and the process ends when it
#     is dismissed (only where 32-bit programs run).
# Screenshots go to <build>/wine-shots/tavsetup/.
#   bash test_tavsetup.sh <repo>/build
BUILD=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/wine_lib.sh"

utility_programs "$BUILD"
EXE=$UTILITY_DIR/$UTILITY_PROGRAM
PROBE=$UTILITY_DIR/tavsetup_window_probe.exe
SHOTS=$BUILD/wine-shots/tavsetup
[ -f "$EXE" ] || fail "$EXE not built"
[ -f "$PROBE" ] || fail "$PROBE not built"
mkdir -p "$SHOTS"

TITLE_EN="Communication Settings Utility"
TITLE_JA="通信設定ユーティリティ"
UTILITY_PID=

install_into_prefix() {  # install_into_prefix [utility program]
  cp "${1:-$EXE}" "$WINEPREFIX/drive_c/tavsetup.exe"
  cp "$PROBE" "$WINEPREFIX/drive_c/"
}

start_utility() {
  timeout 120 wine 'C:\tavsetup.exe' >/dev/null 2>&1 &
  UTILITY_PID=$!
}

# wait_window TITLE: until a window with exactly that title shows (30 s at most).
wait_window() {
  timeout 30 xdotool search --sync --name "^$1\$" >/dev/null || fail "no window titled '$1'"
  sleep 1  # let the first detection step reach the pages
}

probe() {
  timeout 20 wine 'C:\tavsetup_window_probe.exe' "$@" 2>/dev/null | tr -d '\r'
}

shot() {
  import -display "$DISPLAY" -window root "$SHOTS/$1.png"
  echo "screenshot $SHOTS/$1.png"
}

expect_line() {  # expect_line FILE TEXT: a line of the probe's dump contains TEXT
  grep -qF -- "$2" "$1" || { cat "$1" >&2; fail "missing in the window: $2"; }
}

# wait_exit SECONDS: the utility's process ends in time; prints its exit status.
wait_exit() {
  local i
  for ((i = 0; i < $1 * 10; i++)); do
    kill -0 "$UTILITY_PID" 2>/dev/null || { wait "$UTILITY_PID"; return $?; }
    sleep 0.1
  done
  fail "tavsetup.exe still running after $1 s"
}

check_main_window() {  # check_main_window LANGUAGE TITLE TAB0 TAB1 TAB2 UNDETECTED CLOSE
  local dump=$WINE_TMP/dump-$1.txt
  probe dump "$2" >"$dump" || fail "probe found no window titled '$2'"
  [ "$(grep -c '^window class=#32770' "$dump")" = 1 ] || fail "not exactly one main window"
  expect_line "$dump" "child id=1000 class=SysTabControl32"
  expect_line "$dump" "tab 0 text=$3"
  expect_line "$dump" "tab 1 text=$4"
  expect_line "$dump" "tab 2 text=$5"
  [ "$(grep -c '^tab ' "$dump")" = 3 ] || fail "not three tabs"
  expect_line "$dump" "child id=1 class=Button visible=1 enabled=1 text=$7"
  expect_line "$dump" "child id=2 class=Button visible=0"
  # The driver type page is shown: its label column carries the status, Refresh alone is
  # enabled.
  expect_line "$dump" "child id=1008 class=Static visible=1 enabled=1 text=$6"
  expect_line "$dump" "child id=1012 class=Button visible=1 enabled=1"
  expect_line "$dump" "child id=1005 class=Button visible=1 enabled=0"
  # The other two pages got the same status.
  expect_line "$dump" "child id=1007 class=Static visible=0 enabled=1 text=$6"
  expect_line "$dump" "child id=1016 class=Static visible=0 enabled=1 text=$6"
}

wine_x

# --- English ---
wine_prefix "$UTILITY_ARCH"
install_into_prefix
start_utility
wait_window "$TITLE_EN"
shot main-window-en
check_main_window en "$TITLE_EN" "Driver Type" "Printer Response" "iSerialNumber" \
  "Printer is undetected!!" "&Close"

# A click on the second tab shows its page.
WID=$(xdotool search --name "^$TITLE_EN\$" | head -n 1)
xdotool mousemove --window "$WID" 150 22 click 1
sleep 0.5
probe dump "$TITLE_EN" >"$WINE_TMP/tab1.txt"
expect_line "$WINE_TMP/tab1.txt" "child id=1016 class=Static visible=1"
expect_line "$WINE_TMP/tab1.txt" "child id=1008 class=Static visible=0"
shot second-tab-en
# Enter and Escape leave the window open; the arrow key after them reaches the focused
# tab control (so the keys did arrive) and moves to the third tab.
xdotool key Escape Return Right
sleep 0.5
probe dump "$TITLE_EN" >"$WINE_TMP/tab2.txt" || fail "Enter or Escape closed the window"
expect_line "$WINE_TMP/tab2.txt" "child id=1007 class=Static visible=1"
expect_line "$WINE_TMP/tab2.txt" "child id=1016 class=Static visible=0"

# The system menu's about box: the title and the program's own FileVersion.
probe syscommand "$TITLE_EN" 16
sleep 1
probe dump "$TITLE_EN" >"$WINE_TMP/about.txt"
expect_line "$WINE_TMP/about.txt" "owned class=#32770"
expect_line "$WINE_TMP/about.txt" \
  "child id=1003 class=Static visible=1 enabled=1 text=$TITLE_EN   Version $(head -n1 "$(dirname "$0")/../../VERSION")"
shot about-box-en
probe close "$TITLE_EN"  # closes the about box only
sleep 0.5
probe dump "$TITLE_EN" >"$WINE_TMP/about-closed.txt" || fail "closing the about box ended the utility"
grep -q '^owned' "$WINE_TMP/about-closed.txt" && fail "about box still open"

# A second start brings the (minimised) first window back and ends by itself.
probe minimize "$TITLE_EN" || fail "cannot minimise the main window"
probe dump "$TITLE_EN" | grep -q '^window .* iconic=1' || fail "main window not minimised"
FIRST_PID=$UTILITY_PID
start_utility
wait_exit 30 || fail "second instance ended with $?"
UTILITY_PID=$FIRST_PID
sleep 0.5
probe dump "$TITLE_EN" >"$WINE_TMP/after-second.txt"
[ "$(grep -c '^window class=#32770' "$WINE_TMP/after-second.txt")" = 1 ] ||
  fail "not exactly one main window after the second start"
grep -q '^window .* iconic=0' "$WINE_TMP/after-second.txt" || fail "first window not restored"
shot second-start-en

probe close "$TITLE_EN"
wait_exit 60 || true
timeout 20 wineserver -k || true

# --- Japanese ---
if locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  export LANG=ja_JP.UTF-8
  start_utility
  wait_window "$TITLE_JA"
  shot main-window-ja
  check_main_window ja "$TITLE_JA" "ドライバータイプ" "プリンター応答" "iSerialNumber" \
    "プリンターを検出できません!!" "閉じる(&X)"
  probe close "$TITLE_JA"
  wait_exit 60 || true
  timeout 20 wineserver -k || true
  unset LANG
else
  fail "locale ja_JP.UTF-8 missing (./run wine-deps generates it)"
fi

# --- win64 prefix: tavsetup.exe refused under WOW64 ---
if needs_32bit "tavsetup.exe refuses 64-bit Windows (test_tavsetup.sh)"; then
  wine_prefix win64
  install_into_prefix "$BUILD/win32/tavsetup.exe"
  cp "$BUILD/win32/tavsetup_window_probe.exe" "$WINEPREFIX/drive_c/"
  start_utility
  wait_window "$TITLE_EN"
  shot wow64-refusal
  probe dump "$TITLE_EN" >"$WINE_TMP/wow64.txt"
  expect_line "$WINE_TMP/wow64.txt" "text=This software needs  32-bit platforms!!"
  grep -q 'SysTabControl32' "$WINE_TMP/wow64.txt" && fail "main window shown under WOW64"
  probe close "$TITLE_EN"
  wait_exit 30 || true
fi

echo "test_tavsetup: all checks passed"
