#!/usr/bin/env bash
# build_package.sh <build dir> [--driver DIR] [--sign CERT.pfx [--password-file F]]
# Builds the two Windows Installer packages with wixl and prints their paths, one a line:
#   tav-port-service-x64-<version>.msi   tav-port-service-x64.wxs (64-bit Windows)
#   tav-setup-utility-x86-<version>.msi  tav-setup-utility-x86.wxs (32-bit Windows)
# --driver: the port driver package's folder (subfolders and catalogue files kept), put in
# both. Without it both are test builds: "-test" in the file names, said in the comments.
# --sign: signs every program (the stage's copies) and both packages, then checks them.
# TAV_PACKAGE_OUT: another output folder (tests); TAV_PACKAGE_VERSION: another version (soak).
# Expects the win32 and win64 builds and the trace decoding files of the linux build.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
die() { echo "build_package: $*" >&2; exit 1; }
source "$HERE/package_sign.sh"

BUILD=$(cd "$1" && pwd)
shift
DRIVER_DIR= PFX= PASSWORD_FILE=
while [ $# -gt 0 ]; do
  case "$1" in
    --driver) DRIVER_DIR=$(cd "${2:?--driver needs a folder}" && pwd) || die "no folder $2"; shift 2 ;;
    --sign) PFX=$(realpath "${2:?--sign needs a .pfx file}"); shift 2 ;;
    --password-file) PASSWORD_FILE=$(realpath "${2:?--password-file needs a file}"); shift 2 ;;
    *) die "unknown argument $1 (usage: build_package.sh BUILD [--driver DIR] [--sign PFX [--password-file F]])" ;;
  esac
done
[ -z "$PASSWORD_FILE" ] || [ -n "$PFX" ] || die "--password-file without --sign"

product_field() { sed -n "s/^$1=//p" "$ROOT/PRODUCT"; }
PRODUCT_NAME=$(product_field name)
MANUFACTURER=$(product_field manufacturer)
PRODUCT_URL=$(product_field url)
VERSION=${TAV_PACKAGE_VERSION:-$(head -n1 "$ROOT/VERSION")}
# Installed versions below this one are replaced: all up to this version's first three fields.
UPGRADE_BELOW=$(awk -F. '{ printf "%d.%d.%d", $1, $2, $3 + 1 }' <<<"$VERSION")
OUT_DIR=${TAV_PACKAGE_OUT:-$BUILD/package}
mkdir -p "$OUT_DIR"
OUT_DIR=$(cd "$OUT_DIR" && pwd)
STAGE=$OUT_DIR/stage
# wixl takes source paths relative to its working folder (the build folder).
STAGE_REL=$(realpath --relative-to="$BUILD" "$STAGE")

COMMENTS64="Port link service, port consoles and trace kit for HX Series printers, 64-bit Windows."
COMMENTS32="Communication Settings Utility for HX Series printers, 32-bit Windows."
SUFFIX=
if [ -z "$DRIVER_DIR" ]; then
  SUFFIX=-test
  COMMENTS64="Test build without the port driver package. $COMMENTS64"
  COMMENTS32="Test build without the port driver package. $COMMENTS32"
  echo "build_package: WARNING: no --driver folder: test build without the port driver package" >&2
fi
OUT64=$OUT_DIR/tav-port-service-x64-$VERSION$SUFFIX.msi
OUT32=$OUT_DIR/tav-setup-utility-x86-$VERSION$SUFFIX.msi

rm -rf "$STAGE" && mkdir -p "$STAGE/bin32" "$STAGE/bin64"

stage_programs() {
  local f
  for f in win32/tavsetup.exe win64/tavportsvc/Tavportsvc.exe win64/tavports/tavports.exe; do
    [ -f "$BUILD/$f" ] || die "missing $BUILD/$f"
  done
  cp "$BUILD/win32/tavsetup.exe" "$STAGE/bin32/"
  cp "$BUILD/win64/tavportsvc/Tavportsvc.exe" "$BUILD/win64/tavports/tavports.exe" "$STAGE/bin64/"
  if [ -f "$BUILD/win64/tavprinter/tavprinter.exe" ]; then
    cp "$BUILD/win64/tavprinter/tavprinter.exe" "$STAGE/bin64/"
    WIXL_OPTIONAL+=(-D HaveTavprinter=yes)
  fi
}

# The trace decoding files: a folder of one file per message GUID (into <service dir>\tmf\).
# The capture script takes the provider's control GUID from any decoding file's header.
stage_trace_kit() {
  local tmf_dir=$BUILD/linux/trace/tmf
  local source=$STAGE/trace-source any
  mkdir -p "$source/tmf"
  cp "$tmf_dir"/*.tmf "$source/tmf/" 2>/dev/null || die "no .tmf files in $tmf_dir"
  any=$(ls "$source"/tmf/*.tmf | head -n 1)
  local guid
  guid=$(sed -n 's|^// Control GUID: \({[0-9A-Fa-f-]*}\)$|\1|p' "$any" | head -n 1)
  [ ${#guid} = 38 ] || die "no control GUID in $any"
  sed -e "s/@TRACE_CONTROL_GUID@/$guid/" -e 's/$/\r/' "$HERE/Tavportsvc-trace.cmd" \
    >"$STAGE/Tavportsvc-trace.cmd"
  tree_wxi "$source" trace trace --win64
}

# tree_wxi SOURCE NAME PREFIX [--win64]: <stage>/<NAME>.wxi and <NAME>_refs.wxi for a folder.
tree_wxi() {
  (cd "$BUILD" && python3 "$HERE/component_tree.py" "$1" "$STAGE_REL/$2" "$3" \
    "$STAGE_REL/$2.wxi" "$STAGE_REL/$2_refs.wxi" "${@:4}")
}

stage_driver_package() {
  local source=$DRIVER_DIR
  if [ -z "$source" ]; then
    source=$STAGE/no-driver
    mkdir -p "$source"
  fi
  tree_wxi "$source" driver driver
}

# The administrator's guide as a text file (Windows line ends); the icon is the utility's.
stage_texts() {
  cp "$ROOT/tavsetup/res/tavsetup.ico" "$STAGE/product.ico"
  if [ -f "$ROOT/docs/ADMIN.md" ]; then
    sed -e 's/\r$//' -e 's/$/\r/' "$ROOT/docs/ADMIN.md" >"$STAGE/ADMIN.txt"
    WIXL_OPTIONAL+=(-D HaveGuide=yes)
  fi
}

sign_programs() {
  local exe
  for exe in "$STAGE"/bin32/*.exe "$STAGE"/bin64/*.exe; do
    sign_file "$exe"
    sign_verify "$exe"
  done
}

# wixl_build ARCH WXS OUT COMMENTS
wixl_build() {
  (cd "$BUILD" && wixl -a "$1" -o "$3" "${WIXL_OPTIONAL[@]}" \
    -D Version="$VERSION" -D UpgradeBelow="$UPGRADE_BELOW" -D TestSuffix="$SUFFIX" -D ProductName="$PRODUCT_NAME" \
    -D Manufacturer="$MANUFACTURER" -D ProductUrl="$PRODUCT_URL" -D Comments="$4" \
    -D StageDir="$STAGE_REL" -D ArpWxi="$(realpath --relative-to="$BUILD" "$HERE/arp.wxi")" \
    -D DriverWxi="$STAGE_REL/driver.wxi" -D DriverRefsWxi="$STAGE_REL/driver_refs.wxi" \
    -D TraceWxi="$STAGE_REL/trace.wxi" -D TraceRefsWxi="$STAGE_REL/trace_refs.wxi" "$2")
}

# Every program in a package is stripped (its debug information stays in the build folder's
# .exe.debug files) and, in a signed build, carries a valid signature.
check_package() {
  local check=$STAGE/check f
  rm -rf "$check" && mkdir -p "$check"
  msiextract -C "$check" "$1" >/dev/null
  while IFS= read -r -d '' f; do
    if x86_64-w64-mingw32-objdump -h "$f" | grep -q '\.debug_'; then
      rm -f "$1"
      die "${f#"$check/"} carries debug information"
    fi
    [ -z "$PFX" ] || sign_verify "$f"
  done < <(find "$check" -iname '*.exe' -print0)
  rm -rf "$check"
  if [ -n "$PFX" ]; then
    sign_verify "$1"
    echo "build_package: $(basename "$1"): package and programs signed, signatures verified" >&2
  else
    echo "build_package: $(basename "$1"): UNSIGNED (no --sign)" >&2
  fi
}

WIXL_OPTIONAL=(-D HaveTavprinter=no -D HaveGuide=no)
stage_programs
stage_trace_kit
stage_driver_package
stage_texts
if [ -n "$PFX" ]; then
  sign_setup "$PFX" "$PASSWORD_FILE" "$STAGE"
  sign_programs
fi
rm -f "$OUT64" "$OUT32"
wixl_build x64 "$HERE/tav-port-service-x64.wxs" "$OUT64" "$COMMENTS64"
wixl_build x86 "$HERE/tav-setup-utility-x86.wxs" "$OUT32" "$COMMENTS32"
for msi in "$OUT64" "$OUT32"; do
  [ -z "$PFX" ] || sign_file "$msi"
  check_package "$msi"
done
echo "$OUT64"
echo "$OUT32"
