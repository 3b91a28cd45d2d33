#!/usr/bin/env bash
# Installs from Debian's packages whatever the build and the tests need and this machine lacks.
# No release's versions are written here: dpkg says what is installed, and clang says which of its
# runtime packages this release has, so the same list serves Debian 12 and Debian 13.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

packages=(
  cmake g++ make ninja-build clang clang-format clang-tidy googletest libbenchmark-dev python3 python3-pefile
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
  xvfb xdotool x11-apps netpbm fonts-wine wine wine64
  mmdebstrap bubblewrap uidmap  # for make test-debian12 and test-debian13
)
# The 32-bit Wine only where 32-bit programs run: elsewhere it installs but cannot start.
if [ "$("$(dirname "$0")/machine.sh" --runs32)" = yes ]; then
  packages+=(wine32:i386)
fi

installed() { [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = installed ]; }

updated=no
install() {
  local missing=()
  for p in "$@"; do installed "$p" || missing+=("$p"); done
  [ ${#missing[@]} -gt 0 ] || return 0
  # wine32 comes from the i386 architecture.
  if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    updated=no
  fi
  echo "bootstrap: installing ${missing[*]}"
  if [ $updated = no ]; then
    # An index the archive is still syncing fails the update; the install then tells whether the
    # indexes apt has still hold what is missing.
    $SUDO apt-get update -qq || echo "bootstrap: apt-get update failed for some index (above); installing anyway"
    updated=yes
  fi
  # sudo clears the environment: the setting goes inside it.
  local apt=($SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends)
  "${apt[@]}" "${missing[@]}" >/dev/null && return 0
  # Where one architecture's index of the security archive failed to come, the other's packages
  # are newer than any it has and the pairs a 32-bit Wine needs cannot match: take the release's
  # own suite, where both architectures hold the same versions.
  local suite
  suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
  echo "bootstrap: installing again from $suite alone"
  "${apt[@]}" -t "$suite" "${missing[@]}" >/dev/null
}

install "${packages[@]}"

# The sanitizer and fuzzer runtimes of this clang: Debian 12 ships them with clang 14 in
# libclang-rt-14-dev, Debian 13 with clang 19 in libclang-rt-19-dev. Ask clang which it is, and
# whether it links a fuzzer with the sanitizers already.
links_fuzzer() {
  printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' |
    clang++ -x c++ -fsanitize=fuzzer,address,undefined - -o /dev/null >/dev/null 2>&1
}
if ! links_fuzzer; then
  install "libclang-rt-$(clang++ -dumpversion | cut -d. -f1)-dev"
  links_fuzzer || {
    echo "bootstrap: clang $(clang++ -dumpversion) still cannot link a fuzzer with the sanitizers" >&2
    exit 1
  }
fi
