# Sourced: the Wine settings of this checkout. Prefixes live in the build folder, nothing outside it.
WORDROPE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# "run" for playing; any other kind (test, soak) expects no window manager. The crash dialog is off in all.
: "${WORDROPE_PREFIX_KIND:=test}"
export WINEPREFIX="$WORDROPE_ROOT/build/wine-$WORDROPE_PREFIX_KIND"

# Makes the prefix once; later calls find it ready.
wordrope_prefix() {
  local stamp="$WINEPREFIX/.wordrope-ready"
  [ -f "$stamp" ] && return 0
  mkdir -p "$WINEPREFIX"
  local log="$WORDROPE_ROOT/build/wineboot-$WORDROPE_PREFIX_KIND.log"
  echo "wine: making the prefix $WINEPREFIX"
  wineboot -i >"$log" 2>&1 || { cat "$log"; return 1; }
  local reg="$WINEPREFIX/wordrope.reg"
  {
    echo 'REGEDIT4'
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\WineDbg]'
    echo '"ShowCrashDialog"=dword:00000000'
    if [ "$WORDROPE_PREFIX_KIND" != run ]; then
      # No window manager under test: unmanaged windows close message boxes without a stall.
      for exe in wordrope.exe probe.exe minwin.exe; do
        echo
        echo "[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\$exe\\X11 Driver]"
        echo '"Managed"="N"'
      done
    fi
  } >"$reg"
  wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >>"$log" 2>&1
  wineserver -w
  touch "$stamp"
}
