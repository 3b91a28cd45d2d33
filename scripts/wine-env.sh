# Sourced: the Wine settings of this checkout. Prefixes live in the build folder, nothing outside it.
# WORDROPE_WINE_ARCH (win32 or win64) picks the loader and the prefix; by default, what this
# machine runs (scripts/machine.sh).
WORDROPE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
: "${WORDROPE_WINE_ARCH:=$("$WORDROPE_ROOT/scripts/machine.sh" | cut -d' ' -f1)}"
export WORDROPE_WINE_ARCH
export WINEARCH=$WORDROPE_WINE_ARCH
# Debian's `wine`, `wineboot` and `winepath` start the 32-bit loader whenever wine32 is
# installed: call the loader of the chosen word size itself.
if [ "$WINEARCH" = win64 ]; then
  export WORDROPE_WINE=/usr/lib/wine/wine64
  prefix_arch=-x64
else
  export WORDROPE_WINE=/usr/lib/wine/wine
  prefix_arch=""
fi
export WINEDEBUG=-all
# File names are UTF-8 on this side, and programs get code page 1252 (en-US): a folder named
# outside it shows whether the game opens its files by the wide calls.
export LANG=C.UTF-8
unset LC_ALL
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# "run" for playing; any other kind (test, soak, dpi144: a screen at 144 DPI) expects no window
# manager. The crash dialog is off in all.
: "${WORDROPE_PREFIX_KIND:=test}"
export WINEPREFIX="$WORDROPE_ROOT/build/wine$prefix_arch-$WORDROPE_PREFIX_KIND"

# Makes the prefix once; later calls find it ready. A prefix made by an earlier set-up (another
# stamp) is made again.
wordrope_prefix() {
  local stamp="$WINEPREFIX/.wordrope-ready-2"
  [ -f "$stamp" ] && return 0
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  local log="$WORDROPE_ROOT/build/wineboot$prefix_arch-$WORDROPE_PREFIX_KIND.log"
  echo "wine: making the $WINEARCH prefix $WINEPREFIX"
  if ! "$WORDROPE_WINE" wineboot -i >"$log" 2>&1; then
    cat "$log"
    if [ "$WINEARCH" = win64 ]; then
      echo "wine: the 64-bit Windows loader $WORDROPE_WINE does not start here either:" \
        "this machine can run neither Windows build of the game."
    else
      echo "wine: the 32-bit Windows loader $WORDROPE_WINE does not start here;" \
        "WORDROPE_WIN64=1 uses the 64-bit build."
    fi
    return 1
  fi
  # Wine 8 as Debian 12 packages it looks for its own fonts in a folder that is not there, so
  # captions fell back to DejaVu Sans and the close box, drawn in Marlett, to a letter "r". In the
  # prefix's Fonts folder every Wine finds them.
  dpkg-query -L fonts-wine | grep -E '\.(ttf|fon)$' | xargs -r cp -t "$WINEPREFIX/drive_c/windows/Fonts/"
  local reg="$WINEPREFIX/wordrope.reg"
  {
    echo 'REGEDIT4'
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\WineDbg]'
    echo '"ShowCrashDialog"=dword:00000000'
    if [ "$WORDROPE_PREFIX_KIND" = dpi144 ]; then
      # Wine 10 reads the screen's DPI once per wineserver: it is set before any program starts.
      echo
      echo '[HKEY_CURRENT_USER\Control Panel\Desktop]'
      echo '"LogPixels"=dword:00000090'
    fi
    if [ "$WORDROPE_PREFIX_KIND" != run ]; then
      # No window manager under test: unmanaged windows close message boxes without a stall.
      echo
      echo '[HKEY_CURRENT_USER\Software\Wine\AppDefaults\wordrope.exe\X11 Driver]'
      echo '"Managed"="N"'
    fi
  } >"$reg"
  "$WORDROPE_WINE" regedit /S "$("$WORDROPE_WINE" winepath -w "$reg" 2>/dev/null)" >>"$log" 2>&1
  wineserver -w
  touch "$stamp"
}
