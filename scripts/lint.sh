#!/usr/bin/env bash
# make lint: every C and C++ file as .clang-format has it, and clang-tidy's findings (.clang-tidy)
# in engine/, tools/, system/ and window/, through the builds' compile_commands.json: the native
# build for the first two, the 32-bit MinGW build for the others, with that compiler's C++ library.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

# The MinGW g++'s own C++ headers, which clang does not find by itself for Debian's "12-win32".
gxx=$(grep -o -m 1 '"command": "[^ ]*' build/win32/compile_commands.json | cut -d'"' -f4)
mingw=()
while read -r dir; do mingw+=("-extra-arg=-isystem$dir"); done < <(
  echo | "$gxx" -E -x c++ - -v 2>&1 | grep -E '^ .*/include/c\+\+')
# Debian's run-clang-tidy over the files of build/BUILD's compile commands that FILES (a regular
# expression) matches, all cores at once; of its output only what clang-tidy finds.
tidy() {
  local build=$1 files=$2
  shift 2
  run-clang-tidy -quiet -p "build/$build" -extra-arg=-Wno-unknown-warning-option \
    -extra-arg=-Wno-ignored-optimization-argument "$@" "$files" 2>&1 |
    sed -E 's/\x1b\[[0-9;]*m//g; /^(\[[0-9]+\/[0-9]+\] )?clang-tidy|^Running clang-tidy|^[0-9]+ warnings? generated\.$/d'
}
tidy native '/(engine|tools)/.*\.cpp$'
# The Windows compile commands without link-time optimisation, which clang 19 refuses for the target.
mkdir -p build/lint-win32
sed 's/ -flto -ffat-lto-objects//g' build/win32/compile_commands.json >build/lint-win32/compile_commands.json
tidy lint-win32 '/(system|window)/.*\.cpp$' -extra-arg=--target=i686-w64-mingw32 "${mingw[@]}"
echo "lint: clang-format and clang-tidy have nothing to say"
