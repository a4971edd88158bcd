#!/usr/bin/env bash
# soak.sh <build dir>: the release checks too long for every test run, with a summary table.
# Counts and limits (environment): SOAK_SERVICE_CYCLES (100), SOAK_UTILITY_CYCLES (50),
# SOAK_FUZZ_RUNS (10000000) with SOAK_FUZZ_SECONDS (600) per target as the time limit,
# SOAK_PACKAGE_ROUNDS (10); SOAK_PARTS picks parts ("tsan service utility fuzz package
# version").
# Needs the linux, tsan, fuzz, win32 and win64 builds and the packages.
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
  msi=$(ls "$BUILD"/package/tav-port-service-x64-"$(head -n1 "$ROOT/VERSION")"*.msi | head -n 1)
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

# The service package: each round starts from an older product (odd rounds the last
# one-package release, even ones an older version of this package), upgrades to the
# current package and to a rebuild differing in the fourth version field (one Programs and
# Features entry each time), repairs a deleted file and uninstalls.
package_rounds() (
  source "$ROOT/tests/wine/wine_lib.sh"
  source "$ROOT/tests/wine/package_lib.sh"
  wine_x
  wine_prefix win64
  timeout 5 wineserver -p >/dev/null 2>&1 || true
  display_warm_up
  application_log_source
  local current older tweaked name old_msi legacy_msi new_msi tweak_msi start_msi code r
  current=$(head -n1 "$ROOT/VERSION")
  name=$(sed -n 's/^name=//p' "$ROOT/PRODUCT")
  older=$(awk -F. '{ printf "%d.%d.%d.0", $1, $2, ($3 > 0 ? $3 - 1 : 0) }' <<<"$current")
  [ "$older" != "$current" ] || older=0.0.1.0
  tweaked=$(awk -F. '{ printf "%d.%d.%d.%d", $1, $2, $3, $4 + 1 }' <<<"$current")
  new_msi=$(TAV_PACKAGE_OUT=$WINE_TMP/cur package_build "$BUILD" | head -n 1)
  old_msi=$(TAV_PACKAGE_OUT=$WINE_TMP/older TAV_PACKAGE_VERSION=$older package_build "$BUILD" | head -n 1)
  tweak_msi=$(TAV_PACKAGE_OUT=$WINE_TMP/tweak TAV_PACKAGE_VERSION=$tweaked package_build "$BUILD" | head -n 1)
  legacy_msi=$(old_package_build "$BUILD" "$WINE_TMP/legacy")
  state_snapshot "$WINE_TMP/before"
  for ((r = 1; r <= PACKAGE_ROUNDS; r++)); do
    start_msi=$old_msi
    [ $((r % 2)) = 0 ] || start_msi=$legacy_msi
    code=$(msi_install "$start_msi" "old$r.log"); [ "$code" = 0 ] || { echo "round $r: $(basename "$start_msi") install $code"; exit 1; }
    expect_service_state RUNNING
    code=$(msi_install "$new_msi" "upgrade$r.log"); [ "$code" = 0 ] || { echo "round $r: upgrade $code"; exit 1; }
    expect_service_state RUNNING
    [ "$(uninstall_entries "$name")" = 1 ] || { echo "round $r: two products after the upgrade"; exit 1; }
    ! utility_shortcut_exists || { echo "round $r: the utility's shortcut is left"; exit 1; }
    code=$(msi_install "$tweak_msi" "tweak$r.log"); [ "$code" = 0 ] || { echo "round $r: $tweaked over $current: $code"; exit 1; }
    expect_service_state RUNNING
    [ "$(uninstall_entries "$name")" = 1 ] || { echo "round $r: two products after the fourth-field rebuild"; exit 1; }
    rm -f "$(unix_path "$P64_DIR")/tavports.exe"
    code=$(msi_repair "$tweak_msi" "repair$r.log"); [ "$code" = 0 ] || { echo "round $r: repair $code"; exit 1; }
    expect_service_state RUNNING
    [ -f "$(unix_path "$P64_DIR")/tavports.exe" ] || { echo "round $r: repair did not restore a file"; exit 1; }
    code=$(msi_uninstall "$tweak_msi" "uninstall$r.log"); [ "$code" = 0 ] || { echo "round $r: uninstall $code"; exit 1; }
    service_gone || { echo "round $r: service left"; exit 1; }
  done
  state_snapshot "$WINE_TMP/after"
  state_compare "$WINE_TMP/before" "$WINE_TMP/after" >&2 || { echo "registry or files differ from the fresh prefix"; exit 1; }
  echo "$PACKAGE_ROUNDS rounds ($OLD_RELEASE_VERSION or $older -> $current -> $tweaked, repair, uninstall); one entry each; registry and files as fresh"
)

# The utility package: refused by 64-bit Windows with its message; where 32-bit programs run,
# install and uninstall rounds in a 32-bit prefix, ending as fresh.
utility_package_rounds() (
  source "$ROOT/tests/wine/wine_lib.sh"
  source "$ROOT/tests/wine/package_lib.sh"
  wine_x
  local msi32 code r refusal
  msi32=$(TAV_PACKAGE_OUT=$WINE_TMP/cur package_build "$BUILD" | tail -n 1)
  wine_prefix win64
  refusal=$(launch_refusal "$msi32" "$BUILD/win64/tavsetup_window_probe.exe")
  [ "$(tail -n 1 <<<"$refusal")" = 1603 ] && grep -q 'This package is for 32-bit Windows' <<<"$refusal" ||
    { echo "64-bit Windows: no refusal: $refusal"; exit 1; }
  timeout 20 wineserver -k >/dev/null 2>&1 || true
  if ! needs_32bit "utility package rounds in a 32-bit prefix (soak)" >&2; then
    echo "refused by 64-bit Windows; install rounds skipped (no 32-bit programs here)"
    exit 0
  fi
  wine_prefix win32
  state_snapshot "$WINE_TMP/before"
  for ((r = 1; r <= PACKAGE_ROUNDS; r++)); do
    code=$(msi_install "$msi32" "install$r.log"); [ "$code" = 0 ] || { echo "round $r: install $code"; exit 1; }
    utility_shortcut_exists || { echo "round $r: no shortcut"; exit 1; }
    code=$(msi_uninstall "$msi32" "uninstall$r.log"); [ "$code" = 0 ] || { echo "round $r: uninstall $code"; exit 1; }
  done
  state_snapshot "$WINE_TMP/after"
  state_compare "$WINE_TMP/before" "$WINE_TMP/after" >&2 || { echo "registry or files differ from the fresh prefix"; exit 1; }
  echo "refused by 64-bit Windows; $PACKAGE_ROUNDS install/uninstall rounds in a 32-bit prefix, as fresh"
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
    package)
      run_part "service package rounds" package_rounds
      run_part "utility package rounds" utility_package_rounds
      ;;
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
