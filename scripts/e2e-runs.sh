#!/usr/bin/env bash
# Runs the end-to-end suites RUNS times in a row on the build this machine runs and counts the runs
# that failed, keeping what each failure said in build/e2e-runs.log: a GUI test is trusted once it
# is steady. LOAD=N keeps N busy processes running meanwhile, as on a loaded machine.
# Usage (inside `scripts/wine.sh display`): e2e-runs.sh win32|win64 RUNS
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1
arch=$1 runs=$2
log=build/e2e-runs.log
: >"$log"
busy=()
for _ in $(seq "${LOAD:-0}"); do
  (while :; do :; done) &
  busy+=($!)
done
trap '[ ${#busy[@]} -eq 0 ] || kill "${busy[@]}" 2>/dev/null' EXIT
failed=0
start=$SECONDS
for n in $(seq "$runs"); do
  out=$(ctest --preset "$arch" -R '^window' --output-on-failure 2>&1)
  if [ $? -ne 0 ]; then
    failed=$((failed + 1))
    { echo "== run $n"; grep -E 'Failure|FAILED  \]|Which is|did not|Expected|^  [a-z]' <<<"$out"; } >>"$log"
  fi
done
echo "e2e-runs: $runs runs on the ${arch#win}-bit build with ${LOAD:-0} busy processes, $((SECONDS - start)) s:" \
  "$failed failed$([ $failed -eq 0 ] || echo " (what they said: $log)")"
