#!/usr/bin/env bash
# Builds the 32-bit game a second time, from a copy of this tree in another folder, and compares
# the executables and the zip with this tree's, byte for byte: a release can be rebuilt and checked.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH
other=$(mktemp -d "${TMPDIR:-/tmp}/wordrope-again-XXXXXX")
trap 'rm -rf "$other"' EXIT

git ls-files -co --exclude-standard -z | xargs -0 cp --parents -t "$other"
(cd "$other" && cmake --preset win32 -DWORDROPE_TESTS=OFF -DWORDROPE_BENCH=OFF >/dev/null &&
  cmake --build --preset win32 >/dev/null && make --no-print-directory -s zip) || {
  echo "reproducible: the second build failed"
  exit 1
}
status=0
for file in wordrope/wordrope.exe wordrope/wlstcheck.exe wordrope-1.1.zip; do
  here=$(sha256sum <"build/$file" | cut -d' ' -f1)
  there=$(sha256sum <"$other/build/$file" | cut -d' ' -f1)
  if [ "$here" = "$there" ]; then
    echo "reproducible: $file $here"
  else
    echo "reproducible: $file differs between two builds: $here here, $there in $other"
    status=1
  fi
done
exit $status
