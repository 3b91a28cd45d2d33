#!/usr/bin/env bash
# Runs a Windows program under Wine with this checkout's prefix; its exit status is the program's.
# A first argument win32 or win64 names the program's word size (the build's test emulator gives it).
set -u
case "${1:-}" in win32 | win64) export WORDROPE_WINE_ARCH=$1 && shift ;; esac
. "$(dirname "$0")/wine-env.sh"
wordrope_prefix >&2 || exit 1
# Wine's helper processes would hold a pipe open long after the program ends: go through a file.
out=$(mktemp)
"$WORDROPE_WINE" "$@" >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
exit $rc
