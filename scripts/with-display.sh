#!/usr/bin/env bash
# Runs a command with a virtual screen of its own and a wineserver kept alive for it.
set -u
. "$(dirname "$0")/wine-env.sh"
wordrope_prefix || exit 1

# Xvfb takes the first display free here and writes its number once it listens. It also tries the
# sockets themselves: in a chroot, another system's X server holds numbers no lock file shows.
number=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 200); do
  grep -q '^[0-9][0-9]*$' "$number" && break
  kill -0 $xvfb 2>/dev/null || { echo "Xvfb did not start"; rm -f "$number"; exit 1; }
  sleep 0.05
done
grep -q '^[0-9][0-9]*$' "$number" || { echo "Xvfb did not say which display it took"; exit 1; }
export DISPLAY=":$(head -n 1 "$number")"
rm -f "$number"
wineserver -p >/dev/null 2>&1

"$@"
rc=$?

wineserver -k >/dev/null 2>&1
kill $xvfb 2>/dev/null
wait $xvfb 2>/dev/null
exit $rc
