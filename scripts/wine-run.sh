#!/usr/bin/env bash
# Runs a Windows program under Wine with this checkout's prefix; its exit status is the program's.
set -u
. "$(dirname "$0")/wine-env.sh"
wordrope_prefix || exit 1
# Wine's helper processes would hold a pipe open long after the program ends: go through a file.
out=$(mktemp)
wine "$@" >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
exit $rc
