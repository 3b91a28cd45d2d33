#!/usr/bin/env bash
# Installs from Debian's packages whatever the build and the tests need and this machine lacks.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# Each entry: a command or file that proves the package is there, then the package.
need=(
  "cmake:cmake"
  "g++:g++"
  "make:make"
  "ninja:ninja-build"
  "clang++:clang"
  "/usr/src/googletest/CMakeLists.txt:googletest"
  "/usr/include/benchmark/benchmark.h:libbenchmark-dev"
  "/usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a:libclang-rt-14-dev"
  "i686-w64-mingw32-g++-win32:g++-mingw-w64-i686-win32"
  "x86_64-w64-mingw32-g++-win32:g++-mingw-w64-x86-64-win32"
  "Xvfb:xvfb"
  "xdotool:xdotool"
  "xwd:x11-apps"
  "python3:python3"
  "/usr/share/wine/fonts/tahoma.ttf:fonts-wine"
  "/usr/lib/wine/wine64:wine64"
  "wine:wine"
)
# The 32-bit Wine only where 32-bit programs run: elsewhere it installs but cannot start.
if [ "$("$(dirname "$0")/machine.sh" --runs32)" = yes ]; then
  need+=("/usr/lib/wine/wine:wine32:i386")
fi

missing=()
for e in "${need[@]}"; do
  probe=${e%%:*}
  pkg=${e#*:}
  if [[ $probe == /* ]]; then
    [ -e "$probe" ] && continue
  else
    command -v "$probe" >/dev/null 2>&1 && continue
  fi
  missing+=("$pkg")
done

# wine32 comes from the i386 architecture.
if [[ " ${missing[*]:-} " == *" wine32:i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
