#!/usr/bin/env bash
# Plays the game under Wine: the 32-bit build where this machine runs it, else the 64-bit one.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
  echo "make run: there is no display here (DISPLAY is not set), so the game's window has nowhere to open."
  echo "Run it from a desktop session, or run 'make screenshot' to play a few moves on a virtual screen"
  echo "and get a picture of the window in docs/screenshot.png."
  exit 1
fi
read -r arch why < <("$root/scripts/machine.sh")
folder=wordrope
[ "$arch" = win64 ] && folder=wordrope-x64
echo "make run: playing the ${arch#win}-bit build (build/$folder): $why"
export WORDROPE_PREFIX_KIND=run WORDROPE_WINE_ARCH=$arch
. "$root/scripts/wine-env.sh"
wordrope_prefix || exit 1
cd "$root/build/$folder" && "$WORDROPE_WINE" ./wordrope.exe
