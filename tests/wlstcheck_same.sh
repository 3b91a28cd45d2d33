#!/usr/bin/env bash
# Runs the native wlstcheck and wlstcheck.exe under Wine on one list; their reports and statuses must match.
set -u
native=$1 exe=$2 list=$3
cd "$(dirname "$list")" || exit 1
name=$(basename "$list")
expected=$("$native" "$name"; echo "status $?")
actual=$("$(dirname "$0")/../scripts/wine-run.sh" "$exe" "$name" | tr -d '\r'; echo "status ${PIPESTATUS[0]}")
if [ "$expected" != "$actual" ]; then
  echo "native and Windows reports differ:"
  diff <(echo "$expected") <(echo "$actual")
  exit 1
fi
echo "$actual"
echo "same report natively and under Wine"
