#!/usr/bin/env bash
# The suites of `make test` that need Windows builds: the 32-bit game's file is checked on any
# machine; everything that runs under Wine runs on the build this machine can run (scripts/machine.sh),
# and where both builds run, the engine tests run on the 64-bit build as well.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1
read -r arch why < <(scripts/machine.sh)
said="the Wine suites ran on the ${arch#win}-bit build ($arch): $why"

fail() {
  echo "make test: FAILED: $1; $said"
  exit 1
}

ctest --preset win32 -LE wine || fail "the 32-bit executable's file check"
[ "$arch" = win64 ] && { ctest --preset win64 -LE wine || fail "the 64-bit executable's file check"; }
WORDROPE_WINE_ARCH=$arch scripts/wine.sh display ctest --preset "$arch" -L wine || fail "a Wine suite"
if [ "$arch" = win32 ]; then
  # Both run here: the 64-bit engine must draw as the other two builds do.
  WORDROPE_WINE_ARCH=win64 ctest --preset win64 -L wine -R '^engine_tests_wine$' ||
    fail "the engine tests of the 64-bit build"
  said="$said; the 64-bit engine tests ran too"
fi
echo "make test: passed; $said"
# Built with another toolchain than releases are: which of a release's promises this build does not keep.
not_held=build/win32/release-not-held.txt
[ -f "$not_held" ] && echo "make test: $(cat "$not_held")"
exit 0
