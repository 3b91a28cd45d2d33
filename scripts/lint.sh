#!/usr/bin/env bash
# make lint: every C and C++ file as .clang-format has it, and clang-tidy's findings (.clang-tidy)
# in engine/, tools/ and window/, read through the builds' compile_commands.json: the native build
# for the first two, the 32-bit MinGW build for the window, with that compiler's C++ library.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

# The MinGW g++'s own C++ headers, which clang does not find by itself for Debian's "12-win32".
gxx=$(grep -o -m 1 '"command": "[^ ]*' build/win32/compile_commands.json | cut -d'"' -f4)
mingw=()
while read -r dir; do mingw+=("--extra-arg=-isystem$dir"); done < <(
  echo | "$gxx" -E -x c++ - -v 2>&1 | grep -E '^ .*/include/c\+\+')
# clang-tidy over the files named on standard input, through build/BUILD's compile commands.
tidy() {
  local build=$1
  shift
  xargs -P "$(nproc)" -n 4 clang-tidy --quiet -p "build/$build" --extra-arg=-Wno-unknown-warning-option \
    --extra-arg=-Wno-ignored-optimization-argument "$@" 2>&1 |
    sed '/^[0-9]* warnings\? generated\.$/d'  # clang-tidy's count of what it kept to itself
}
git ls-files 'engine/*.cpp' 'tools/*.cpp' | tidy native
# The window's compile commands without link-time optimisation, which clang 19 refuses for the target.
mkdir -p build/lint-win32
sed 's/ -flto -ffat-lto-objects//g' build/win32/compile_commands.json >build/lint-win32/compile_commands.json
git ls-files 'window/*.cpp' | tidy lint-win32 --extra-arg=--target=i686-w64-mingw32 "${mingw[@]}"
echo "lint: clang-format and clang-tidy have nothing to say"
