#!/usr/bin/env bash
# Which Windows build the Wine suites and `make run` use here, and why, as one line:
# "win32 REASON" or "win64 REASON". What the machine can run is found out each time, by running
# a 32-bit program from build/; WORDROPE_WIN64=1 chooses the 64-bit build anyway.
# With --runs32: only "yes" or "no", whether this machine runs 32-bit programs.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$root/build"
probe=$(mktemp "$root/build/probe-XXXXXX") || exit 1
trap 'rm -f "$probe"' EXIT

# The smallest 32-bit x86 Linux program, 96 bytes with no library: it only exits with status 42.
# A kernel without 32-bit support refuses it ("Exec format error").
elf=(
  # ELF header: magic, 32-bit, little-endian, version 1, System V; padding to 16 bytes
  '\x7fELF\x01\x01\x01\x00' '\x00\x00\x00\x00\x00\x00\x00\x00'
  # an executable (2) for the i386 (3), version 1; entry 0x08048054; program headers at byte 52
  '\x02\x00\x03\x00' '\x01\x00\x00\x00' '\x54\x80\x04\x08' '\x34\x00\x00\x00'
  # no section headers, no flags; this header 52 bytes, one program header of 32, no sections
  '\x00\x00\x00\x00' '\x00\x00\x00\x00' '\x34\x00' '\x20\x00\x01\x00' '\x00\x00\x00\x00\x00\x00'
  # the program header: load the file's 96 (0x60) bytes at 0x08048000, readable and executable
  '\x01\x00\x00\x00' '\x00\x00\x00\x00' '\x00\x80\x04\x08' '\x00\x80\x04\x08'
  '\x60\x00\x00\x00' '\x60\x00\x00\x00' '\x05\x00\x00\x00' '\x00\x10\x00\x00'
  # at 0x08048054: mov eax, 1 (the exit call); mov ebx, 42; int 0x80
  '\xb8\x01\x00\x00\x00' '\xbb\x2a\x00\x00\x00' '\xcd\x80'
)
printf '%b' "${elf[@]}" >"$probe"
chmod +x "$probe"
"$probe" 2>/dev/null
status=$?
if [ $status -eq 42 ]; then
  runs32=yes
else
  # 126 is also what a folder mounted noexec gives: a script there tells the two apart.
  printf '#!/bin/sh\n' >"$probe"
  if ! "$probe" 2>/dev/null; then
    echo "machine: $root/build lets no program run (mounted noexec?); the tests run programs from it" >&2
    exit 1
  fi
  runs32=no
fi

if [ "${1:-}" = --runs32 ]; then
  echo $runs32
elif [ $runs32 != yes ]; then
  echo "win64 this machine cannot run 32-bit programs"
elif [ "${WORDROPE_WIN64:-0}" != 0 ]; then
  echo "win64 WORDROPE_WIN64 is set (this machine could run the 32-bit build too)"
else
  echo "win32 this machine runs 32-bit programs"
fi
