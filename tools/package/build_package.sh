#!/usr/bin/env bash
# build_package.sh <build dir> [driver package folder]
# Builds <build dir>/package/tav-usb-setup-<version>.msi with wixl from tav-usb-setup.wxs
# (TAV_PACKAGE_OUT: another output folder, for tests; TAV_PACKAGE_VERSION: another package
# version, for the upgrade checks of the soak).
# Expects the win32 and win64 builds and the trace decoding files of the linux build. The
# optional folder's files (a port driver package) are copied into Tavport\ as they are.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BUILD=$(cd "$1" && pwd)
DRIVER_DIR=${2:-}
VERSION=${TAV_PACKAGE_VERSION:-$(head -n1 "$ROOT/VERSION")}
OUT_DIR=${TAV_PACKAGE_OUT:-$BUILD/package}
mkdir -p "$OUT_DIR"
OUT_DIR=$(cd "$OUT_DIR" && pwd)
STAGE=$OUT_DIR/stage
OUT=$OUT_DIR/tav-usb-setup-$VERSION.msi
TMF_DIR=$BUILD/linux/trace/tmf

die() { echo "build_package: $*" >&2; exit 1; }
for f in "$BUILD/win32/tavsetup.exe" "$BUILD/win64/tavportsvc/Tavportsvc.exe" \
  "$BUILD/win64/tavports/tavports.exe" "$BUILD/win64/tavprinter/tavprinter.exe"; do
  [ -f "$f" ] || die "missing $f"
done
compgen -G "$TMF_DIR/*.tmf" >/dev/null || die "no trace decoding files in $TMF_DIR"
rm -rf "$STAGE" && mkdir -p "$STAGE"
# wixl takes source paths relative to its working folder (the build folder).
STAGE_REL=$(realpath --relative-to="$BUILD" "$STAGE")
# The decoding files (<message GUID>.tmf) go into tmf\ beside the service, one File each.
mkdir -p "$STAGE/tmf" && cp "$TMF_DIR"/*.tmf "$STAGE/tmf/"
{
  echo '<?xml version="1.0" encoding="utf-8"?>'
  echo '<Include xmlns="http://schemas.microsoft.com/wix/2006/wi">'
  keypath=' KeyPath="yes"'
  for f in "$STAGE"/tmf/*.tmf; do
    name=$(basename "$f")
    printf '  <File Id="Tmf_%s" Name="%s" Source="%s"%s/>\n' "${name//-/_}" "$name" \
      "$STAGE_REL/tmf/$name" "$keypath"
    keypath=
  done
  echo '</Include>'
} >"$STAGE/tmf_files.wxi"
# The capture script takes the provider's control GUID from the decoding files' header, which
# is generated from the service's trace table: the same in every file.
CONTROL_GUID=$(sed -n 's|^// Control GUID: \({[0-9A-F-]*}\)$|\1|p' "$TMF_DIR"/*.tmf | sort -u)
[ ${#CONTROL_GUID} = 38 ] || die "not one control GUID in $TMF_DIR"
sed -e "s/@TRACE_CONTROL_GUID@/$CONTROL_GUID/" -e 's/$/\r/' "$HERE/Tavportsvc-trace.cmd" \
  >"$STAGE/Tavportsvc-trace.cmd"

# The driver package's files: one component each (files only, no subfolders).
components=$STAGE/driver_components.wxi
refs=$STAGE/driver_refs.wxi
head='<?xml version="1.0" encoding="utf-8"?>
<Include xmlns="http://schemas.microsoft.com/wix/2006/wi">'
printf '%s\n' "$head" >"$components"
printf '%s\n' "$head" >"$refs"
if [ -n "$DRIVER_DIR" ]; then
  [ -d "$DRIVER_DIR" ] || die "no driver package folder $DRIVER_DIR"
  n=0
  for f in "$DRIVER_DIR"/*; do
    [ -f "$f" ] || continue
    n=$((n + 1))
    cp "$f" "$STAGE/driver_$n"
    printf '  <Component Id="Driver%d" Guid="*"><File Id="Driver%d" Name="%s" Source="%s" KeyPath="yes"/></Component>\n' \
      "$n" "$n" "$(basename "$f")" "$STAGE_REL/driver_$n" >>"$components"
    printf '  <ComponentRef Id="Driver%d"/>\n' "$n" >>"$refs"
  done
fi
echo '</Include>' >>"$components"
echo '</Include>' >>"$refs"

(cd "$BUILD" && wixl -a x64 -o "$OUT" \
  -D Version="$VERSION" -D Win32Dir=win32 -D Win64Dir=win64 -D StageDir="$STAGE_REL" \
  -D DriverWxi="$STAGE_REL/driver_components.wxi" \
  -D DriverRefsWxi="$STAGE_REL/driver_refs.wxi" -D TmfWxi="$STAGE_REL/tmf_files.wxi" \
  "$HERE/tav-usb-setup.wxs")
# Every program in the package is stripped (its debug information stays in the build
# folder's .exe.debug files).
rm -rf "$STAGE/check" && mkdir -p "$STAGE/check"
msiextract -C "$STAGE/check" "$OUT" >/dev/null
while IFS= read -r -d '' f; do
  if x86_64-w64-mingw32-objdump -h "$f" | grep -q '\.debug_'; then
    rm -f "$OUT"
    die "${f#"$STAGE/check/"} carries debug information"
  fi
done < <(find "$STAGE/check" -iname '*.exe' -print0)
rm -rf "$STAGE/check"
echo "$OUT"
