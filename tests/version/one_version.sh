#!/usr/bin/env bash
# one_version.sh quick|full <build dir>
# The file VERSION alone sets every version: no other tracked file holds the number, and a
# copy of the tree with a raised VERSION carries the raised one everywhere.
#   quick: configures the copy and reads the generated resource, manifest and header files.
#   full:  also builds the copy's programs and package and reads the version resources of the
#          built programs, their manifests and the packages' ProductVersion (slow: the soak).
# Prints one closing line; exits non-zero on the first place that differs.
set -euo pipefail
MODE=$1
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(mkdir -p "$2" && cd "$2" && pwd)
JOBS=${JOBS:-2}
fail() { echo "one_version: $*" >&2; exit 1; }

OLD=$(head -n1 "$ROOT/VERSION")
[[ $OLD =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "VERSION is not four numbers: $OLD"
OLD_COMMAS=${OLD//./, *}
# Every field changes, so that a field still taken from elsewhere shows.
NEW=$(awk -F. '{ printf "%d.%d.%d.%d", $1 + 1, $2 + 2, $3 + 3, $4 + 4 }' <<<"$OLD")
NEW_COMMAS=${NEW//./, }

# No tracked file but VERSION holds the number, with dots or with the resources' commas. The
# last one-package release's version is a fixed fact (named once in package_lib.sh, and in the
# administrator's guide), whatever VERSION says.
found=$(git -C "$ROOT" grep -n -E "${OLD//./\\.}|$OLD_COMMAS" -- . ':!VERSION' ':!docs/ADMIN.md' |
  grep -v '^tests/wine/package_lib.sh:[0-9]*:OLD_RELEASE_VERSION=' || true)
[ -z "$found" ] || fail "the version outside VERSION:"$'\n'"$found"

# The copy: the tracked and new files as they are in the working tree, build folders aside.
COPY=$BUILD/version-copy
rm -rf "$COPY" && mkdir -p "$COPY"
(cd "$ROOT" && git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
  tar --null -T - -cf -) | tar -xf - -C "$COPY"
echo "$NEW" >"$COPY/VERSION"

expect_in() {  # expect_in FILE TEXT...: FILE holds each TEXT and not the old version
  local file=$1 text
  shift
  [ -f "$file" ] || fail "not generated: ${file#"$COPY/"}"
  for text in "$@"; do
    grep -qF -- "$text" "$file" || fail "${file#"$COPY/"} lacks '$text'"
  done
  ! grep -qE "${OLD//./\\.}|$OLD_COMMAS" "$file" || fail "${file#"$COPY/"} holds $OLD"
}

configure_copy() {
  local preset
  for preset in linux win32 win64; do
    (cd "$COPY" && cmake --preset "$preset" >"$COPY/configure-$preset.log" 2>&1) ||
      fail "configure $preset (see $COPY/configure-$preset.log)"
  done
  local b=$COPY/build
  for preset in linux win32 win64; do
    expect_in "$b/$preset/generated/tav_version.h" "\"$NEW\"" "$NEW_COMMAS"
  done
  expect_in "$b/win32/generated/tavsetup.manifest" "version=\"$NEW\" processorArchitecture=\"x86\""
  expect_in "$b/win64/generated/tavsetup_x64_test.manifest" \
    "version=\"$NEW\" processorArchitecture=\"amd64\""
  expect_in "$b/win64/tavports/win32/tavports.rc" "${NEW//./,}" "\"$NEW\""
  expect_in "$b/win64/tavprinter/win32/tavprinter.rc" "${NEW//./,}" "\"$NEW\""
  grep -q '#include "tav_version.h"' "$b/win64/tavportsvc/res/Tavportsvc.rc" ||
    fail "Tavportsvc.rc does not take the version from tav_version.h"
}

build_copy() {
  local b=$COPY/build
  (cd "$COPY" &&
    cmake --build --preset win32 -j "$JOBS" --target tavsetup &&
    cmake --build --preset win64 -j "$JOBS" --target Tavportsvc tavports tavprinter tavsetup_x64_test &&
    cmake --build --preset linux -j "$JOBS" --target tavportsvc_tmf) >"$COPY/build.log" 2>&1 ||
    fail "build of the copy (see $COPY/build.log)"
  bash "$COPY/tools/package/build_package.sh" "$b" >"$COPY/package.log" 2>&1 ||
    fail "package of the copy (see $COPY/package.log)"
  /usr/bin/python3 "$ROOT/tests/version/check_built_versions.py" "$b" "$NEW"
  # The binary checks of the copy read its VERSION: they pass on the raised one too.
  local t
  for t in test_tavsetup.py test_tavportsvc.py test_consoles.py; do
    /usr/bin/python3 "$COPY/tests/binary/$t" "$b" >"$COPY/$t.log" 2>&1 ||
      fail "binary check $t of the copy (see $COPY/$t.log)"
  done
}

configure_copy
case $MODE in
  quick) echo "version $OLD only in VERSION; a copy raised to $NEW generates it everywhere" ;;
  full)
    build_copy
    echo "version $OLD only in VERSION; a copy raised to $NEW builds programs and packages carrying it"
    ;;
  *) fail "mode quick or full" ;;
esac
