#!/usr/bin/env bash
# Lays out the demo deployment in a Wine prefix of its own and starts the
# wizard on it:
#
#   demo/run-demo.sh BUILD_DIR        (./tarn demo calls it)
#
# BUILD_DIR holds win/ (the Windows build) and native/ (the generator).
# Layout inside the prefix (BUILD_DIR/demo/prefix):
#   C:\Norvane\Tarnwright   Tarnwright.exe, partlink.exe, QLNCmnDlg.dll and the
#                           sample configuration (demo/deployment/program)
#   C:\Norvane\Kilnspar     the burning product stand-ins (KSCORE.exe, KSIF.dll)
#   C:\Norvane\discs\E      the virtual disc of optical drive E
#   R:                      the recovery drive: small generated recovery data
#                           (BUILD_DIR/demo/recovery), recorded as its letter
#                           under HKLM\SOFTWARE\Norvane\ZRV_PARTLINK, DRV3
# With a usable DISPLAY the wizard opens there and the script waits for it to
# end; without one it runs on a private X server, a screenshot of its window
# is saved as BUILD_DIR/demo/wizard.png and the wizard is closed again
# (DEMO_KEEP=1 keeps it open until you press Enter).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=$(cd "${1:?usage: run-demo.sh BUILD_DIR}" && pwd)
WIN=$BUILD/win
DEMO=$BUILD/demo
export WINEPREFIX=$DEMO/prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}

say() { printf '== %s\n' "$*" >&2; }

# --- display ---------------------------------------------------------------
XVFB_PID=""
cleanup() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  HEADLESS=0
else
  HEADLESS=1
  for n in $(seq 150 199); do [ -e "/tmp/.X${n}-lock" ] || break; done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi

# --- prefix and files ----------------------------------------------------------
say "preparing the Wine prefix $WINEPREFIX"
mkdir -p "$WINEPREFIX"
# A new prefix gets a first session of its own that runs to its end (windows
# opened while that session settles stall for about 20 s each).
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i </dev/null >/dev/null 2>&1 || true
  wineserver -w </dev/null >/dev/null 2>&1 || true
fi
wineserver -p </dev/null >/dev/null 2>&1
wineboot </dev/null >/dev/null 2>&1 || true

C=$WINEPREFIX/drive_c
PROGRAM=$C/Norvane/Tarnwright
rm -rf "$C/Norvane"
mkdir -p "$PROGRAM" "$C/ProgramData/Norvane/Quillon"
cp -r "$ROOT/demo/deployment/program/." "$PROGRAM/"
cp "$WIN/bin/Tarnwright.exe" "$WIN/bin/partlink.exe" "$PROGRAM/"
"$ROOT/outside/install-standins.sh" "$WIN" "$C/Norvane" "$PROGRAM" >&2

say "generating the recovery data (small) and mapping it to R:"
"$BUILD/native/tools/gendata/gendata" --small --clean "$DEMO/recovery" >/dev/null
ln -sfn "$DEMO/recovery" "$WINEPREFIX/dosdevices/r:"
wine reg add 'HKLM\SOFTWARE\Norvane\ZRV_PARTLINK' /v DRV3 /t REG_SZ /d R /reg:32 /f \
  </dev/null >/dev/null 2>&1

# --- the wizard ------------------------------------------------------------------
say "starting the wizard: C:\\Norvane\\Tarnwright\\Tarnwright.exe /Tarn"
(cd "$PROGRAM" && exec wine 'C:\Norvane\Tarnwright\Tarnwright.exe' /Tarn) </dev/null &
WIZARD=$!

window=""
for _ in $(seq 1 100); do
  kill -0 "$WIZARD" 2>/dev/null || break
  window=$(xdotool search --onlyvisible --classname 'tarnwright.exe' 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.2
done

LOG=$C/ProgramData/Norvane/Quillon/Tarnwright/Tarnwright.log
if [ -z "$window" ]; then
  status=0
  wait "$WIZARD" || status=$?
  say "the wizard ended with exit code $status before it showed a window"
  if [ -f "$LOG" ]; then
    say "its log ($LOG):"
    tr -d '\r' < "$LOG" | grep '^Log' | tail -5 >&2 || true
  fi
  exit 0
fi

sleep 1
if [ "$HEADLESS" = 1 ]; then
  import -window root "$DEMO/wizard.png"
  say "the wizard's window: screenshot saved as $DEMO/wizard.png"
  if [ "${DEMO_KEEP:-0}" = 1 ]; then
    read -r -p "press Enter to close the wizard " _ </dev/tty || true
  fi
  kill "$WIZARD" 2>/dev/null || true
else
  say "the wizard is open on $DISPLAY; close it to end the demo"
  wait "$WIZARD" || true
fi
