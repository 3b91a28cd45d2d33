#!/usr/bin/env bash
# Runs a command with a virtual screen of its own and a wineserver kept alive for it.
set -u
. "$(dirname "$0")/wine-env.sh"
wordrope_prefix || exit 1

for n in $(seq 90 140); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
  display=":$n"
  break
done
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do
  [ -e "/tmp/.X11-unix/X${display#:}" ] && break
  kill -0 $xvfb 2>/dev/null || { echo "Xvfb did not start"; exit 1; }
  sleep 0.05
done
export DISPLAY="$display"
wineserver -p >/dev/null 2>&1

"$@"
rc=$?

wineserver -k >/dev/null 2>&1
kill $xvfb 2>/dev/null
wait $xvfb 2>/dev/null
exit $rc
