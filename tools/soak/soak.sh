#!/usr/bin/env bash
# soak.sh <build dir>: the release checks too long for every test run, with a summary table.
# Counts and limits (environment): SOAK_SERVICE_CYCLES (100), SOAK_UTILITY_CYCLES (50),
# SOAK_FUZZ_RUNS (10000000) with SOAK_FUZZ_SECONDS (600) per target as the time limit,
# SOAK_PACKAGE_ROUNDS (10); SOAK_PARTS picks parts ("tsan service utility fuzz package
# version").
# Needs the linux, tsan, fuzz, win32 and win64 builds and the package.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(cd "$1" && pwd)
SERVICE_CYCLES=${SOAK_SERVICE_CYCLES:-100}
UTILITY_CYCLES=${SOAK_UTILITY_CYCLES:-50}
FUZZ_RUNS=${SOAK_FUZZ_RUNS:-10000000}
FUZZ_SECONDS=${SOAK_FUZZ_SECONDS:-600}
PACKAGE_ROUNDS=${SOAK_PACKAGE_ROUNDS:-10}
PARTS=${SOAK_PARTS:-tsan service utility fuzz package version}
TABLE=$BUILD/soak/summary.txt
mkdir -p "$BUILD/soak"
: >"$TABLE"
FAILED=0

row() {  # row CHECK RESULT DETAIL
  printf '%-34s %-5s %s\n' "$1" "$2" "$3" | tee -a "$TABLE.rows"
  [ "$2" = PASS ] || FAILED=1
}

# Each part runs in its own shell with its own Wine prefix (wine_lib.sh cleans up on exit).
service_cycles() (
  source "$ROOT/tests/wine/wine_lib.sh"
  source "$ROOT/tests/wine/package_lib.sh"
  wine_prefix win64
  timeout 5 wineserver -p >/dev/null 2>&1 || true
  local msi code port printer i state query
  msi=$(ls "$BUILD"/package/tav-usb-setup-"$(head -n1 "$ROOT/VERSION")".msi)
  code=$(msi_install "$msi" install.log)
  [ "$code" = 0 ] || { echo "install exit $code"; exit 1; }
  cp "$BUILD/win64/tests/wine/fake_devices/tav_fake_devices.exe" "$WINEPREFIX/drive_c/"
  fakes() { timeout 30 wine 'C:\tav_fake_devices.exe' "$@" 2>/dev/null | tr -d '\r'; }
  timeout 60 wine net stop Tavportsvc >/dev/null 2>&1
  port=$(fakes port)
  printer=$(fakes printer)
  for ((i = 1; i <= SERVICE_CYCLES; i++)); do
    timeout 60 wine sc start Tavportsvc >/dev/null 2>&1
    expect_service_state RUNNING
    [ "$(fakes links)" = "$port $printer" ] || { echo "cycle $i: link $(fakes links)"; exit 1; }
    timeout 60 wine sc stop Tavportsvc >/dev/null 2>&1
    expect_service_state STOPPED
    query=$(timeout 30 wine sc query Tavportsvc | tr -d '\r')
    printf '%s\n' "$query" | grep -Eq 'WIN32_EXIT_CODE *: *0 ' || { echo "cycle $i: $query"; exit 1; }
  done
  echo "$SERVICE_CYCLES cycles, each STOPPED with exit code 0, link intact"
)

utility_cycles() (
  source "$ROOT/tests/wine/wine_lib.sh"
  utility_programs "$BUILD" >/dev/null
  wine_x
  wine_prefix "$UTILITY_ARCH"
  timeout 5 wineserver -p >/dev/null 2>&1 || true
  cp "$UTILITY_DIR/$UTILITY_PROGRAM" "$WINEPREFIX/drive_c/tavsetup.exe"
  cp "$UTILITY_DIR/tavsetup_window_probe.exe" "$WINEPREFIX/drive_c/"
  local i first second title="Communication Settings Utility"
  # A tavsetup.exe process of this prefix (other tests may run theirs in other prefixes).
  utility_processes_left() {
    local pid
    for pid in $(pgrep -f 'tavsetup\.exe'); do
      tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && return 0
    done
    return 1
  }
  # xdotool stops on an X error when a window goes away while it looks: ask again.
  wait_window() {
    local n
    for ((n = 0; n < 60; n++)); do
      xdotool search --name "^$title\$" 2>/dev/null | grep -q . && return 0
      sleep 0.5
    done
    return 1
  }
  for ((i = 1; i <= UTILITY_CYCLES; i++)); do
    timeout 120 wine 'C:\tavsetup.exe' >/dev/null 2>&1 &
    first=$!
    # A second instance behind a held mutex would end at once and leave no window.
    wait_window || { echo "cycle $i: no window"; exit 1; }
    timeout 60 wine 'C:\tavsetup.exe' >/dev/null 2>&1 &
    second=$!
    timeout 30 tail --pid="$second" -f /dev/null || { echo "cycle $i: second start stays"; exit 1; }
    kill -0 "$first" 2>/dev/null || { echo "cycle $i: first ended"; exit 1; }
    timeout 20 wine 'C:\tavsetup_window_probe.exe' close "$title" >/dev/null 2>&1
    timeout 60 tail --pid="$first" -f /dev/null || { echo "cycle $i: did not exit"; exit 1; }
    if utility_processes_left; then echo "cycle $i: process left"; exit 1; fi
  done
  echo "$UTILITY_CYCLES cycles of the $UTILITY_BITS-bit utility (second start each), no process left, mutex free each time"
)

fuzz_targets() {
  local f name out stats
  for f in "$BUILD"/fuzz/fuzz/fuzz_*; do
    [ -x "$f" ] || continue
    name=$(basename "$f")
    out=$BUILD/soak/$name.log
    mkdir -p "$BUILD/soak/corpus-$name"
    if "$f" -runs="$FUZZ_RUNS" -max_total_time="$FUZZ_SECONDS" -print_final_stats=1 \
      "$BUILD/soak/corpus-$name" $([ -d "$ROOT/fuzz/seeds/$name" ] && echo "$ROOT/fuzz/seeds/$name") \
      >"$out" 2>&1; then
      stats=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out" | tail -n 1)
      row "fuzz $name" PASS "$stats executions, no finding (limit $FUZZ_RUNS runs or ${FUZZ_SECONDS}s)"
    else
      row "fuzz $name" FAIL "finding, see $out"
    fi
  done
}

package_rounds() (
  source "$ROOT/tests/wine/wine_lib.sh"
  source "$ROOT/tests/wine/package_lib.sh"
  wine_x
  wine_prefix win64
  timeout 5 wineserver -p >/dev/null 2>&1 || true
  display_warm_up
  local current old new_msi old_msi code r tmf
  current=$(head -n1 "$ROOT/VERSION")
  # An older package of the same programs: only the package version differs.
  old=$(echo "$current" | awk -F. '{ printf "%d.%d.%d.0", $1, $2, ($3 > 0 ? $3 - 1 : 0) }')
  [ "$old" != "$current" ] || old=0.0.1.0
  old_msi=$(TAV_PACKAGE_VERSION=$old bash "$ROOT/tools/package/build_package.sh" "$BUILD" | tail -n 1)
  new_msi=$BUILD/package/tav-usb-setup-$current.msi
  state_snapshot "$WINE_TMP/before"
  for ((r = 1; r <= PACKAGE_ROUNDS; r++)); do
    code=$(msi_install "$old_msi" "old$r.log"); [ "$code" = 0 ] || { echo "round $r: old install $code"; exit 1; }
    expect_service_state RUNNING
    code=$(msi_install "$new_msi" "upgrade$r.log"); [ "$code" = 0 ] || { echo "round $r: upgrade $code"; exit 1; }
    expect_service_state RUNNING
    [ "$(timeout 30 wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:64 2>/dev/null |
      tr -d '\r' | grep -c 'DisplayName *REG_SZ *TAV USB Setup')" = 1 ] || { echo "round $r: two products after the upgrade"; exit 1; }
    tmf=$(ls "$(unix_path "$P64_DIR")"/tmf/*.tmf | head -n 1)
    rm -f "$tmf"
    code=$(msi_repair "$new_msi" "repair$r.log"); [ "$code" = 0 ] || { echo "round $r: repair $code"; exit 1; }
    expect_service_state RUNNING
    [ -f "$tmf" ] || { echo "round $r: repair did not restore a file"; exit 1; }
    code=$(msi_uninstall "$new_msi" "uninstall$r.log"); [ "$code" = 0 ] || { echo "round $r: uninstall $code"; exit 1; }
    service_gone || { echo "round $r: service left"; exit 1; }
  done
  state_snapshot "$WINE_TMP/after"
  state_compare "$WINE_TMP/before" "$WINE_TMP/after" >&2 || { echo "registry or files differ from the fresh prefix"; exit 1; }
  echo "$PACKAGE_ROUNDS rounds ($old -> $current upgrade, repair of a deleted file, uninstall); registry and files as fresh"
)

# Every native test under ThreadSanitizer (the test run takes only the threaded ones): the
# simulated world's locks and the virtual clock's are exercised from every path.
all_tests_tsan() (
  cd "$BUILD/tsan" || exit 1
  out=$(ctest -j 2 --output-on-failure 2>&1)
  status=$?
  grep -E '^\*\*\*|Failed|WARNING: ThreadSanitizer' <<<"$out" | head -20 >&2
  grep -E 'tests passed' <<<"$out"
  exit $status
)

# A copy of the tree with VERSION raised, built and packaged: every program, manifest and
# package carries the raised version.
raised_version_copy() (
  JOBS=2 bash "$ROOT/tests/version/one_version.sh" full "$BUILD"
)

run_part() {  # run_part NAME FUNCTION
  local out
  out=$("$2" 2>"$BUILD/soak/$2.err")
  if [ $? = 0 ]; then row "$1" PASS "$(tail -n 1 <<<"$out")"; else
    row "$1" FAIL "$(tail -n 1 <<<"$out") (see $BUILD/soak/$2.err)"; fi
}

rm -f "$TABLE.rows"
start=$(date +%s)
for part in $PARTS; do
  case $part in
    tsan) run_part "every native test under TSan" all_tests_tsan ;;
    service) run_part "service start/stop under Wine" service_cycles ;;
    utility) run_part "utility start/exit under Wine" utility_cycles ;;
    fuzz) fuzz_targets ;;
    package) run_part "package install/upgrade/repair/uninstall" package_rounds ;;
    version) run_part "one VERSION, raised in a built copy" raised_version_copy ;;
  esac
done
{
  echo "Soak summary ($(date -u +%Y-%m-%dT%H:%MZ), $(($(date +%s) - start)) s)"
  printf '%-34s %-5s %s\n' CHECK RESULT DETAIL
  cat "$TABLE.rows"
} >"$TABLE"
rm -f "$TABLE.rows"
echo
cat "$TABLE"
exit $FAILED
