#!/usr/bin/env bash
# make dist: the release zip. Made from the game folder built here when this machine has the
# release toolchain; else made in a Debian 12 system that has it (scripts/in-debian.sh) and
# copied here: the same bytes as on Debian 12 itself.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
toolchain=$(cat build/win32/toolchain.txt)
if [ "$toolchain" = release ]; then
  exec make --no-print-directory zip
fi
echo "dist: $toolchain is not the release toolchain; making the release in Debian 12 instead"
scripts/in-debian.sh bookworm make dist
cp build/debian-bookworm/srv/wordrope/build/wordrope-1.1.zip build/wordrope-1.1.zip
echo "dist: build/wordrope-1.1.zip, made with Debian 12's toolchain" \
  "($(sha256sum build/wordrope-1.1.zip | cut -c1-16)...)"
