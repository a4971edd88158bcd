#!/usr/bin/env bash
# The road of the three changes in the utility's real windows on a simulated printer
# (tavsetup_sim.exe under Wine, driven by mouse clicks and typing, English and Japanese),
# then the link that the restarted port link service writes for the printer it left.
# Leaves the screenshots and the full timelines in <build>/demo/road/ and a short timeline
# in <build>/demo/road-timeline.txt.
#   bash tools/demo/demo_road_windows.sh <repo>/build
set -euo pipefail
BUILD=$(cd "$1" && pwd)
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
SHOTS=$BUILD/demo/road
SHORT=$BUILD/demo/road-timeline.txt
LINKER=$BUILD/linux/tools/demo/tav_demo_road_link

echo
echo "== The utility in real windows on a simulated printer (Wine, virtual display) =="
rm -rf "$SHOTS"
SHOTS=$SHOTS bash "$ROOT/tests/wine/test_tavsetup_sim_road.sh" "$BUILD"

# The short timeline: the set request written after each watch request, the statuses
# posted, what the pages' columns show (not the "Receiving..." in between), the exit and
# the printer's final state. Fields: time, "ms", kind, detail.
awk '
  $3 == "watch" { print; wantWrite = 1; next }
  $3 == "wire" && $4 == "write" && wantWrite { print; wantWrite = 0; next }
  $3 == "status" { print; next }
  $3 == "text" && $4 $5 ~ /^(driver-type100[89]|response10(16|20)|serial10(07|12))$/ &&
    $6 !~ /^"(Receiving|")/ { print; next }
  $3 == "services" || $3 == "printer" || $3 == "exit" { print }
' "$SHOTS/en-timeline.txt" >"$SHORT"

echo
echo "-- short timeline (English run; full timelines in $SHOTS/) --"
cat "$SHORT"

echo
echo "-- the port link service after the utility exits --"
if [ -x "$LINKER" ]; then
  "$LINKER" "$SHOTS/en-timeline.txt" | tee -a "$SHORT"
else
  echo "($LINKER not built: ./run build linux)"
fi
echo
echo "screenshots: $SHOTS/"
