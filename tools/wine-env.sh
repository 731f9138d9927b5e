# Sourced by ./vexil and ./run-tests: sets up the project's own Wine prefix and an X display.
#
# The prefix lives in build/wine-prefix. Its only drives are C:, T: (the test area,
# build/testarea), U: (the test area's second volume, for moves across volumes,
# build/second-volume) and S: (the folder of the script that ./vexil runs); the usual Z: drive
# onto the Linux root is removed, so a faulty file built-in cannot reach the machine. U: lies
# outside build/testarea, which the test bench lays anew while Wine may be starting.
# The programs (and the test DLL) are reached as C:\vexil\* through links into build/.

vexil_root=${vexil_root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=$vexil_root/build/wine-prefix
export WINEARCH=win64
# Wine takes its ANSI code page from the locale: keep it the same everywhere.
export LANG=${LANG:-C.UTF-8}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko install prompts, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
VEXIL_TEST_AREA=$vexil_root/build/testarea

# Set to 1 when the display is our own Xvfb, which nobody sees.
vexil_display_hidden=0

vexil_start_display() {
  if [[ -n ${DISPLAY:-} ]]; then return 0; fi
  vexil_display_hidden=1
  local state=$vexil_root/build/.xvfb-display n
  if [[ -f $state ]]; then
    n=$(cat "$state")
    if [[ -S /tmp/.X11-unix/X$n ]] && pgrep -f "Xvfb :$n " >/dev/null 2>&1; then
      export DISPLAY=:$n; return 0
    fi
  fi
  for n in $(seq 91 140); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    (setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &)
    local i
    for i in $(seq 1 100); do
      [[ -S /tmp/.X11-unix/X$n ]] && break
      sleep 0.05
    done
    if [[ -S /tmp/.X11-unix/X$n ]]; then
      echo "$n" >"$state"
      export DISPLAY=:$n
      return 0
    fi
  done
  echo "wine-env: could not start Xvfb" >&2
  return 1
}

vexil_link_drive() {  # letter target
  local link=$WINEPREFIX/dosdevices/$1
  if [[ $(readlink "$link" 2>/dev/null) != "$2" ]]; then
    rm -f "$link"
    ln -s "$2" "$link"
  fi
}

vexil_prepare_prefix() {
  local ready=$WINEPREFIX/.vexil-ready
  if [[ ! -f $ready ]]; then
    echo "wine-env: creating the Wine prefix (once)" >&2
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    # A crash must end the process with its exception code, not wait in the debugger.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 1 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
    rm -f "$WINEPREFIX/dosdevices/z:"
    touch "$ready"
  fi
  rm -f "$WINEPREFIX/dosdevices/z:"
  mkdir -p "$VEXIL_TEST_AREA" "$WINEPREFIX/drive_c/vexil"
  vexil_link_drive t: "$VEXIL_TEST_AREA"
  mkdir -p "$vexil_root/build/second-volume"
  vexil_link_drive u: "$vexil_root/build/second-volume"
  local exe
  for exe in "$vexil_root"/build/*.exe "$vexil_root"/build/*.dll; do
    [[ -e $exe ]] || continue
    ln -sf "$exe" "$WINEPREFIX/drive_c/vexil/$(basename "$exe")"
  done
}

vexil_start_wineserver() {
  # One persistent server: later starts skip its set-up and take tens of milliseconds.
  wineserver -p600 >/dev/null 2>&1 || true
  # A long-lived GUI process keeps Wine's desktop process up between runs.
  local pidfile=$WINEPREFIX/.keepalive.pid
  if [[ -e $WINEPREFIX/drive_c/vexil/vexil-keepalive.exe ]] &&
     ! { [[ -f $pidfile ]] && kill -0 "$(cat "$pidfile")" 2>/dev/null; }; then
    setsid wine 'C:\vexil\vexil-keepalive.exe' </dev/null >/dev/null 2>&1 &
    echo $! >"$pidfile"
  fi
}

vexil_wine_ready() {
  vexil_start_display && vexil_prepare_prefix && vexil_start_wineserver
}
