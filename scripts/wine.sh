#!/usr/bin/env bash
# Wine for this checkout: its prefixes live in build/, nothing outside it.
#   wine.sh exec [win32|win64] PROGRAM ARGS...  runs a Windows program (ctest's emulator); exits as it does
#   wine.sh display COMMAND...                   runs COMMAND on a virtual screen of its own, with a
#                                                wineserver kept for it; both end with it, however it ends
#   wine.sh play GAME_DIR                        plays the game in GAME_DIR (make run)
# WORDROPE_WINE_ARCH (win32 or win64) picks the loader and the prefix; by default, what this machine
# runs (scripts/machine.sh). WORDROPE_PREFIX_KIND picks the prefix: "run" for playing; any other
# (test, soak, dpi144: a screen at 144 DPI, classic: no visual style) expects no window manager.
# Every prefix but the classic one wears Wine's Light visual style, set here, not left to wineboot.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
command=${1:-}
shift
if [ "$command" = exec ]; then
  case "${1:-}" in win32 | win64) export WORDROPE_WINE_ARCH=$1 && shift ;; esac
fi
: "${WORDROPE_WINE_ARCH:=$("$root/scripts/machine.sh" | cut -d' ' -f1)}"
: "${WORDROPE_PREFIX_KIND:=test}"
export WORDROPE_WINE_ARCH WORDROPE_PREFIX_KIND WINEARCH=$WORDROPE_WINE_ARCH
# Debian's `wine`, `wineboot` and `winepath` start the 32-bit loader whenever wine32 is installed:
# call the loader of the chosen word size itself.
if [ "$WINEARCH" = win64 ]; then
  export WORDROPE_WINE=/usr/lib/wine/wine64
  export WINEPREFIX="$root/build/wine-x64-$WORDROPE_PREFIX_KIND"
else
  export WORDROPE_WINE=/usr/lib/wine/wine
  export WINEPREFIX="$root/build/wine-$WORDROPE_PREFIX_KIND"
fi
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# File names are UTF-8 on this side, and programs get code page 1252 (en-US): a folder named outside
# it shows whether the game opens its files by the wide calls.
export LANG=C.UTF-8
unset LC_ALL

# Makes the prefix once; later calls find it ready. One made by an earlier set-up (another stamp)
# is made again.
prefix() {
  local stamp="$WINEPREFIX/.wordrope-ready-4" log="$WINEPREFIX.log"
  [ -f "$stamp" ] && return 0
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  echo "wine: making the $WINEARCH prefix $WINEPREFIX"
  if ! "$WORDROPE_WINE" wineboot -i >"$log" 2>&1; then
    cat "$log"
    if [ "$WINEARCH" = win64 ]; then
      echo "wine: the 64-bit Windows loader does not start here either: this machine runs neither Windows build."
    else
      echo "wine: the 32-bit Windows loader does not start here; WORDROPE_WIN64=1 uses the 64-bit build."
    fi
    return 1
  fi
  # Wine 8 as Debian 12 packages it looks for its own fonts in a folder that is not there, so
  # captions fell back to DejaVu Sans and the close box, drawn in Marlett, to a letter "r". In the
  # prefix's Fonts folder every Wine finds them.
  dpkg-query -L fonts-wine | grep -E '\.(ttf|fon)$' | xargs -r cp -t "$WINEPREFIX/drive_c/windows/Fonts/"
  local reg="$WINEPREFIX/wordrope.reg"
  {
    printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\n"ShowCrashDialog"=dword:00000000\n'
    # Wine 10 reads the screen's DPI once per wineserver: it is set before any program starts.
    [ "$WORDROPE_PREFIX_KIND" = dpi144 ] &&
      printf '\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:00000090\n'
    local theme='"ThemeActive"="1"\n"DllName"="C:\\\\windows\\\\resources\\\\themes\\\\light\\\\light.msstyles"'
    [ "$WORDROPE_PREFIX_KIND" = classic ] && theme='"ThemeActive"="0"'
    printf '\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager]\n%b\n' "$theme"
    # No window manager under test: unmanaged windows close message boxes and windows without a stall.
    if [ "$WORDROPE_PREFIX_KIND" != run ]; then
      for program in wordrope.exe window_tests.exe; do
        printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\%s\\X11 Driver]\n"Managed"="N"\n' "$program"
      done
    fi
  } >"$reg"
  "$WORDROPE_WINE" regedit /S "$("$WORDROPE_WINE" winepath -w "$reg" 2>/dev/null)" >>"$log" 2>&1
  wineserver -w
  touch "$stamp"
}

case "$command" in
  exec)
    prefix >&2 || exit 1
    # Wine's helper processes would hold a pipe open long after the program ends: go through a file.
    out=$(mktemp)
    "$WORDROPE_WINE" "$@" >"$out" 2>&1
    status=$?
    cat "$out"
    rm -f "$out"
    exit $status
    ;;
  display)
    prefix || exit 1
    xvfb=""
    cleanup() {
      wineserver -k >/dev/null 2>&1
      [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    }
    trap cleanup EXIT
    trap 'exit 130' INT TERM HUP
    # Xvfb takes the first display free here and writes its number once it listens. It also tries
    # the sockets themselves: in a chroot, another system's X server holds numbers no lock file shows.
    number=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number" >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 200); do
      grep -q '^[0-9][0-9]*$' "$number" && break
      kill -0 $xvfb 2>/dev/null || break
      sleep 0.05
    done
    DISPLAY=":$(head -n 1 "$number")"
    rm -f "$number"
    [ "$DISPLAY" != ":" ] || { echo "wine: Xvfb did not start"; exit 1; }
    export DISPLAY
    wineserver -p >/dev/null 2>&1
    "$@"
    ;;
  play)
    game=${1:?usage: wine.sh play GAME_DIR}
    if [ -z "${DISPLAY:-}" ]; then
      echo "make run: there is no display here (DISPLAY is not set), so the game's window has nowhere to open."
      echo "Run it from a desktop session, or run 'make screenshot' to play a few moves on a virtual screen"
      echo "and get a picture of the window in docs/screenshot.png."
      exit 1
    fi
    echo "make run: playing the ${WINEARCH#win}-bit build ($game): $("$root/scripts/machine.sh" | cut -d' ' -f2-)"
    WORDROPE_PREFIX_KIND=run exec "$0" exec "$WINEARCH" "$game/wordrope.exe"
    ;;
  *)
    echo "usage: wine.sh exec [win32|win64] PROGRAM ARGS... | display COMMAND... | play GAME_DIR" >&2
    exit 64
    ;;
esac
