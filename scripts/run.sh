#!/usr/bin/env bash
# Plays the game as built under Wine, with a prefix of its own inside the build folder.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
  echo "make run: there is no display here (DISPLAY is not set), so the game's window has nowhere to open."
  echo "Run it from a desktop session, or run 'make screenshot' to play a few moves on a virtual screen"
  echo "and get a picture of the window in docs/screenshot.png."
  exit 1
fi
export WORDROPE_PREFIX_KIND=run
. "$root/scripts/wine-env.sh"
wordrope_prefix || exit 1
cd "$root/build/wordrope" && wine ./wordrope.exe
