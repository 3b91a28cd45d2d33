#!/usr/bin/env bash
# Which Windows build the Wine suites and `make run` use here, and why, as one line:
# "win32 REASON" or "win64 REASON". What the machine can run is found out once, by running
# a 32-bit program, and kept in build/; WORDROPE_WIN64=1 chooses the 64-bit build anyway.
# With --runs32: only "yes" or "no", whether this machine runs 32-bit programs.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
answer="$root/build/machine-runs32"

if [ ! -f "$answer" ]; then
  mkdir -p "$root/build"
  # The smallest 32-bit x86 Linux program: no library, it only exits with status 42.
  # A kernel without 32-bit support refuses it ("Exec format error").
  elf="$root/build/exit42-i386"
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'\
'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'\
'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'\
'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'\
'\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'\
'\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$elf"
  chmod +x "$elf"
  "$elf" 2>/dev/null
  if [ $? -eq 42 ]; then echo yes >"$answer"; else echo no >"$answer"; fi
  rm -f "$elf"
fi

if [ "${1:-}" = --runs32 ]; then
  cat "$answer"
elif [ "$(cat "$answer")" != yes ]; then
  echo "win64 this machine cannot run 32-bit programs"
elif [ "${WORDROPE_WIN64:-0}" != 0 ]; then
  echo "win64 WORDROPE_WIN64 is set (this machine could run the 32-bit build too)"
else
  echo "win32 this machine runs 32-bit programs"
fi
