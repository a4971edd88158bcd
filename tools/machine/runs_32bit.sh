#!/usr/bin/env bash
# Whether this machine runs 32-bit x86 programs, and with them 32-bit Wine: some kernels have
# their 32-bit emulation turned off, and then the 32-bit loader answers "Exec format error".
#   source tools/machine/runs_32bit.sh; runs_32bit_decide; [ "$TAV_32BIT" = yes ]
# Decided once per run and exported, so every script of the run agrees. TAV_NO_32BIT=1
# forces "no", to run the 64-bit-only path on any machine.

# A 93-byte static i386 program that exits with 32: no library, loader or package needed.
runs_32bit_probe() {
  local dir probe status=0
  dir=$(mktemp -d "${TMPDIR:-/tmp}/tav32.XXXXXX")
  probe=$dir/exit32
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' >"$probe"
  # e_type EXEC, e_machine i386, e_version, e_entry, e_phoff, e_shoff, e_flags, sizes
  printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' >>"$probe"
  printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00' >>"$probe"
  # one loadable segment: the whole file at 0x08048000, read and execute
  printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' >>"$probe"
  printf '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' >>"$probe"
  # xor ebx,ebx; mov bl,32; xor eax,eax; inc eax (exit); int 0x80
  printf '\x31\xdb\xb3\x20\x31\xc0\x40\xcd\x80' >>"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || status=$?
  rm -rf "$dir"
  [ "$status" = 32 ]
}

# runs_32bit_decide: sets and exports TAV_32BIT (yes|no) and TAV_32BIT_WHY, unless a caller
# of this run has decided already.
runs_32bit_decide() {
  if [ "${TAV_32BIT:-}" = yes ] || [ "${TAV_32BIT:-}" = no ]; then
    return 0
  fi
  if [ -n "${TAV_NO_32BIT:-}" ] && [ "${TAV_NO_32BIT}" != 0 ]; then
    TAV_32BIT=no
    TAV_32BIT_WHY="TAV_NO_32BIT=$TAV_NO_32BIT forces it"
  elif [ "$(cat /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null | head -n 1)" = enabled ]; then
    # 32-bit Wine crashes under qemu-user, so a program that runs only through it is no help.
    TAV_32BIT=no
    TAV_32BIT_WHY="32-bit x86 programs run here only through qemu-user"
  elif runs_32bit_probe; then
    TAV_32BIT=yes
    TAV_32BIT_WHY="a 32-bit x86 program ran"
  else
    TAV_32BIT=no
    TAV_32BIT_WHY="a 32-bit x86 program does not start here (Exec format error)"
  fi
  export TAV_32BIT TAV_32BIT_WHY
}

# runs_32bit_say: one line for the start of a run.
runs_32bit_say() {
  if [ "$TAV_32BIT" = yes ]; then
    echo "this machine runs 32-bit programs ($TAV_32BIT_WHY): the shipped 32-bit utility runs under Wine"
  else
    echo "this machine runs no 32-bit programs ($TAV_32BIT_WHY): the utility's 64-bit test build stands in under 64-bit Wine"
  fi
}
