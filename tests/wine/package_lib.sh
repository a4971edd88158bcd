#!/usr/bin/env bash
# Helpers for the package tests (test_package.sh, the soak): build the MSI, run msiexec
# silently, look at what it installed, and compare the machine before and after.
PKG_REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
P32_DIR='C:\Program Files (x86)\TAV\HX Series Printer'
P64_DIR='C:\Program Files\TAV\HX Series Printer'
SVC_EXE="$P64_DIR\\Tavportsvc.exe"
SHORTCUT='Start Menu/Programs/TAV/Communication Settings Utility.lnk'
PKG_APPID='{5E0A3C41-7B2D-4F19-A6C8-93D1E2F4B705}'
PKG_LIBID='{D3A85F1C-6E24-4B97-8C0B-5F91E2A7364D}'
# No desktop menu entries on the Linux side for the package's shortcut.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};winemenubuilder.exe=d"

# msi_platform MSI: the platform the package is for, from its summary information's Template
# ("x64;1033" gives x64, "Intel;1033" Intel).
msi_platform() {
  msiinfo suminfo "$1" | sed -n 's/^Template: *\([^;]*\);.*/\1/p'
}

# package_build BUILD [build_package.sh options]: builds both packages and prints their
# paths, the 64-bit one first.
package_build() {
  bash "$PKG_REPO/tools/package/build_package.sh" "$@" 2>/dev/null | tail -n 2
}

# old_package_build BUILD OUT_DIR: the last one-package release's MSI (the package files of
# its tree, the current programs, its version); prints its path. Its build script wants
# the single decoding file, so a folder of per-GUID files stands in as one file.
OLD_RELEASE=3633c62
# That release's version: a fixed fact, not the file VERSION.
OLD_RELEASE_VERSION=2.0.1.0
old_package_build() {
  local old=$2/old-release file
  mkdir -p "$old/tools/package" "$old/build/linux/trace"
  for file in build_package.sh tav-usb-setup.wxs Tavportsvc-trace.cmd; do
    git -C "$PKG_REPO" show "$OLD_RELEASE:tools/package/$file" >"$old/tools/package/$file"
  done
  ln -s "$(cd "$1" && pwd)/win32" "$(cd "$1" && pwd)/win64" "$old/build/"
  # The files' header comments (control GUID included) once: the old script wants one.
  awk '!/^\/\// || !seen[$0]++' "$1"/linux/trace/tmf/*.tmf >"$old/build/linux/trace/Tavportsvc.tmf"
  printf '%s\n' "$OLD_RELEASE_VERSION" >"$old/VERSION"
  TAV_PACKAGE_OUT=$2 TAV_PACKAGE_VERSION=$OLD_RELEASE_VERSION \
    bash "$old/tools/package/build_package.sh" "$old/build" | tail -n 1
}

unix_path() { timeout 20 winepath -u "$1" 2>/dev/null; }

# wine_cmd_code SECONDS LOG 'command': the full exit code of a command run by cmd. The
# output goes to a file: a service started by the command inherits it and keeps any pipe open.
wine_cmd_code() {
  local limit=$1 out=$WINE_TMP/$2.out
  shift 2
  timeout "$limit" wine cmd /c "$* & echo errorlevel=%errorlevel%" >"$out" 2>/dev/null || true
  tr -d '\r' <"$out" | sed -n 's/^errorlevel=//p' | tail -n 1
}

# msi_install MSI LOG [properties]: silent install with a verbose log; prints the exit code.
msi_install() {
  mkdir -p "$WINEPREFIX/drive_c/pkg"
  cp "$1" "$WINEPREFIX/drive_c/pkg/"
  wine_cmd_code 300 "$2" "start /wait msiexec /i C:\\pkg\\$(basename "$1") /qn /l*v C:\\pkg\\$2 ${*:3}"
}
msi_uninstall() {
  wine_cmd_code 300 "$2" "start /wait msiexec /x C:\\pkg\\$(basename "$1") /qn /l*v C:\\pkg\\$2"
}
# msi_repair MSI LOG: a repair of every file, written as its properties. "msiexec /fa" is
# the same on Windows; Wine 8's msiexec ends "/fa <product code>" with 1 and
# "/fa <package>" with 1605 before doing anything (observed).
msi_repair() {
  wine_cmd_code 300 "$2" "start /wait msiexec /i C:\\pkg\\$(basename "$1") REINSTALL=ALL REINSTALLMODE=amus /qn /l*v C:\\pkg\\$2"
}
msi_log_tail() {
  iconv -f UTF-16LE -t UTF-8 "$WINEPREFIX/drive_c/pkg/$1" 2>/dev/null | tr -d '\r' | tail -n 30 ||
    tail -n 30 "$WINEPREFIX/drive_c/pkg/$1"
}

# expect_service_files BUILD DRIVER_DIR: the service package's files at their places, the
# driver package whole (subfolders too) where the service's INF path looks.
expect_service_files() {
  local build=$1 p32 p64 exe
  p32=$(unix_path "$P32_DIR")
  p64=$(unix_path "$P64_DIR")
  for exe in tavportsvc/Tavportsvc.exe tavports/tavports.exe tavprinter/tavprinter.exe; do
    cmp -s "$p64/${exe#*/}" "$build/win64/$exe" || fail "${exe#*/} not installed"
  done
  diff -r "$p64/tmf" "$build/linux/trace/tmf" >/dev/null || fail "the tmf folder differs"
  [ -f "$p64/Tavportsvc-trace.cmd" ] || fail "Tavportsvc-trace.cmd not installed"
  diff -r "$p32/Tavport" "$2" >/dev/null || fail "the driver package differs from its folder"
}

# The utility's Start menu shortcut. Windows puts a per-machine shortcut into ProgramData;
# Wine 8's msi resolves ProgramMenuFolder to the user's Start menu even with ALLUSERS=1
# (observed).
utility_shortcut_exists() {
  [ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/$SHORTCUT" ] ||
    [ -f "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/$SHORTCUT" ]
}

# uninstall_entries NAME: the Programs and Features entries (64-bit view) with this name.
uninstall_entries() {
  timeout 30 wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:64 \
    2>/dev/null | tr -d '\r' | grep -c "DisplayName *REG_SZ *$1\$" || true
}

# uninstall_entry_dump NAME: the values of the one Programs and Features entry of NAME.
uninstall_entry_dump() {
  timeout 30 wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:64 \
    2>/dev/null | tr -d '\r' |
    awk -v name="$1" '/^HKEY_/ { if (hit) exit; key = $0; body = ""; next }
      { body = body $0 "\n" } $0 ~ "DisplayName +REG_SZ +" name "$" { hit = 1 }
      END { if (hit) printf "%s\n%s", key, body }'
}

# services_debug_start FILE: restarts the prefix so that its service manager writes its
# Wine "fixme" lines for services into FILE (the manager keeps the first process's stderr).
services_debug_start() {
  timeout 20 wineserver -k >/dev/null 2>&1 || true
  timeout 20 wineserver -w || true
  WINEDEBUG=-all,fixme+service timeout 60 wine cmd /c ver >/dev/null 2>"$1" || true
}

# launch_refusal MSI PROBE: msiexec with its basic UI; prints the text of the "Install Failed"
# message a failed launch condition shows (Wine's msi logs no such text with /qn), closes it
# with the window probe PROBE (tavsetup_window_probe.exe) and prints msiexec's exit code last.
launch_refusal() {
  local pid
  mkdir -p "$WINEPREFIX/drive_c/pkg"
  cp "$1" "$2" "$WINEPREFIX/drive_c/pkg/"
  timeout 120 wine cmd /c "start /wait msiexec /i C:\\pkg\\$(basename "$1") /qb & echo errorlevel=%errorlevel%" \
    >"$WINE_TMP/refusal.out" 2>/dev/null &
  pid=$!
  timeout 60 xdotool search --sync --name 'Install Failed' >/dev/null 2>&1 || true
  timeout 20 wine 'C:\pkg\tavsetup_window_probe.exe' dump 'Install Failed' 2>/dev/null | tr -d '\r'
  timeout 20 wine 'C:\pkg\tavsetup_window_probe.exe' close 'Install Failed' >/dev/null 2>&1 || true
  wait "$pid" || true
  tr -d '\r' <"$WINE_TMP/refusal.out" | sed -n 's/^errorlevel=//p' | tail -n 1
}

# service_state: RUNNING, STOPPED, ... or nothing when there is no such service.
service_state() {
  local out=$WINE_TMP/sc.out
  timeout 30 wine sc query Tavportsvc >"$out" 2>/dev/null || true
  tr -d '\r' <"$out" | sed -n 's/^ *STATE *: *[0-9]* *\([A-Z_]*\).*/\1/p' | head -n 1
}

expect_service_state() {
  local i state
  for i in $(seq 1 20); do
    state=$(service_state)
    [ "$state" = "$1" ] && return 0
    sleep 0.5
  done
  fail "service state [$state], expected $1"
}

service_gone() {
  ! timeout 30 wine reg query 'HKLM\System\CurrentControlSet\Services\Tavportsvc' /reg:64 \
    >/dev/null 2>&1 && [ -z "$(service_state)" ]
}

# svc_exe SWITCH: runs the installed service program with a switch; prints its exit code.
svc_exe() {
  wine_cmd_code 60 svc "\"$SVC_EXE\" $1"
}

# registration_dump FILE: the service entry, AppID entries and type library, as reg shows them.
registration_dump() {
  local key
  : >"$1"
  for key in 'HKLM\System\CurrentControlSet\Services\Tavportsvc' "HKCR\\AppID\\$PKG_APPID" \
    'HKCR\AppID\Tavportsvc.EXE' "HKCR\\TypeLib\\$PKG_LIBID"; do
    timeout 30 wine reg query "$key" /s /reg:64 2>/dev/null | tr -d '\r' | grep -a -v '^reg: ' >>"$1" || true
  done
}

# display_warm_up: Wine's display driver registers its adapter, monitor and video devices
# when a prefix's first window opens; open one before the first look, so that the utility's
# window later adds nothing.
display_warm_up() {
  local pid
  timeout 60 wine notepad >/dev/null 2>&1 &
  pid=$!
  timeout 30 xdotool search --sync --name 'Notepad' >/dev/null 2>&1 || true
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# application_log_source: Windows' Application log always has sources (the installer's own
# among them); Wine's fresh one has none, and Wine's installer removes a key's emptied parents
# along with the key, which would take the Application key with the service's source.
application_log_source() {
  timeout 30 wine reg add 'HKLM\System\CurrentControlSet\Services\EventLog\Application\MsiInstaller' \
    /v TypesSupported /t REG_DWORD /d 7 /f /reg:64 >/dev/null 2>&1 || fail "no MsiInstaller source"
}

# state_snapshot DIR: the registry (the machine's views, the user) and the file tree.
state_snapshot() {
  mkdir -p "$1"
  local view views=(64 32)
  # A 32-bit Windows has one registry view.
  [ "$WINEARCH" != win32 ] || views=(32)
  for view in "${views[@]}"; do
    timeout 60 wine reg export HKLM "C:\\pkg-hklm$view.reg" /reg:$view /y >/dev/null 2>&1 || true
    iconv -f UTF-16LE -t UTF-8 "$WINEPREFIX/drive_c/pkg-hklm$view.reg" | tr -d '\r' |
      registry_filter >"$1/hklm$view.reg"
    rm -f "$WINEPREFIX/drive_c/pkg-hklm$view.reg"
  done
  timeout 60 wine reg export HKCU 'C:\pkg-hkcu.reg' /y >/dev/null 2>&1 || true
  iconv -f UTF-16LE -t UTF-8 "$WINEPREFIX/drive_c/pkg-hkcu.reg" | tr -d '\r' |
    registry_filter >"$1/hkcu.reg"
  rm -f "$WINEPREFIX/drive_c/pkg-hkcu.reg"
  (cd "$WINEPREFIX/drive_c" && find . -path ./pkg -prune -o -print | tree_filter | sort) \
    >"$1/files.txt"
}

# What the system changes on its own between the two looks, not the package's doing: the
# service manager's start counter (volatile on Windows), the display state that Wine
# refreshes whenever a window opens (a video key per display session; see display_warm_up
# for the rest), the console window defaults that Wine writes when the first console window
# opens (sc.exe started by the installer opens one; every Windows has them), and the Windows
# Installer's own empty bookkeeping keys (present on every Windows). A bookkeeping key that
# still holds a value (a product left registered) is not filtered.
registry_filter() {
  awk '
    function flush() {
      if (hdr != "" && !drop(hdr) && !(installer(hdr) && !vals)) printf "%s", blk
      blk = ""; hdr = ""; vals = 0
    }
    function drop(h) {
      return h ~ /\\Control\\ServiceCurrent\]$/ || h ~ /^\[HKEY_LOCAL_MACHINE\\Hardware\\DEVICEMAP\\VIDEO\]$/ ||
             h ~ /\\Control\\Video(\\|\])/ ||
             h ~ /^\[HKEY_CURRENT_USER\\Software\\Wine\\Temporary System Parameters/ ||
             h ~ /^\[HKEY_CURRENT_USER\\Console(\\|\])/
    }
    function installer(h) {
      return h ~ /^\[HKEY_LOCAL_MACHINE\\Software\\Classes\\Installer/ ||
             h ~ /\\CurrentVersion\\Installer\\(UpgradeCodes|UserData)/
    }
    /^\[/ { flush(); hdr = $0 }
    { blk = blk $0 "\n"; if ($0 !~ /^\[/ && $0 != "") vals = 1 }
    END { flush() }'
}
tree_filter() { grep -v -E '^\./(windows/temp|users/[^/]*/Temp|windows/Installer)(/|$)'; }

state_compare() {
  local f ok=0
  for f in hklm64.reg hklm32.reg hkcu.reg files.txt; do
    [ -e "$1/$f" ] || [ -e "$2/$f" ] || continue
    if ! diff -u "$1/$f" "$2/$f" >"$WINE_TMP/diff-$f"; then
      echo "differs after uninstall: $f" >&2
      head -n 40 "$WINE_TMP/diff-$f" >&2
      ok=1
    fi
  done
  return $ok
}
