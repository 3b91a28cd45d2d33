#!/usr/bin/env bash
# BUILDINFO.txt of the game folder: what the Windows programs were built with, a line a package:
# the Debian package and version that holds each file named (the compiler, its runtime, the
# linker, the MinGW-w64 runtime), or the file's own --version line where dpkg knows none.
# Usage: buildinfo.sh OUT FILE...
set -euo pipefail
out=$1
shift
{
  echo "The Windows programs in this folder were built with:"
  for file in "$@"; do
    package=$(dpkg-query -S "$(readlink -f "$file")" 2>/dev/null | head -n 1 | cut -d: -f1) || true
    if [ -n "$package" ]; then
      echo "$package $(dpkg-query -W -f='${Version}' "$package")"
    else
      "$file" --version 2>/dev/null | head -n 1 || echo "$file"
    fi
  done | awk '!seen[$0]++'
} >"$out.part"
# Left as it is when nothing changed, so that a build after a configure has nothing to copy.
if cmp -s "$out.part" "$out"; then rm "$out.part"; else mv "$out.part" "$out"; fi
