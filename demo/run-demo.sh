#!/usr/bin/env bash
# Lays out the demo deployment in a Wine prefix of its own, laid out like a
# real machine, and runs the wizard on it:
#
#   demo/run-demo.sh BUILD_DIR [--walk] [--shots DIR]     (./tarn demo calls it)
#
# With a usable DISPLAY (and no --walk) the wizard opens there for you to
# use. Without one, or with --walk, it runs on a private X server and the
# walker (tarnwalk.exe) makes the "Recovery Media" set on DVD by itself, in
# English and then in Japanese (its first disc fails once in the engine, and
# once more in the read-back after the engine spoils it while it reports
# success; Retry both times): a screenshot of every step and window, a
# listing of every disc with its byte count and the comparison of every file
# with its source, and a summary. Exit code 0 only when every disc of both
# walks was made and verified. Each language is walked once more under the
# high-contrast mode (the wizard's test build, whose seam turns the mode on:
# Wine cannot), through the one-disc set. --shots DIR also copies the
# screenshots (PNG) there, with the first step at 144 dots per inch and
# every step in high contrast, in both languages.
#
# Inside the prefix (BUILD_DIR/demo/prefix):
#   C:\Norvane\Tarnwright   Tarnwright.exe, QLNCmnDlg.dll and the sample
#                           configuration (demo/deployment/program); the
#                           backup product's InstFolder is C:\Norvane
#   C:\Norvane\Kilnspar     the burning product stand-ins, registered
#   E:, F:                  a DVD writer and a BD writer, shown as CD-ROM
#                           drives; their discs are C:\Norvane\discs\E and F
#   R:                      the recovery drive (BUILD_DIR/demo/recovery),
#                           its letter recorded as ZRV_PARTLINK\DRV3
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=$(cd "${1:?usage: run-demo.sh BUILD_DIR [--walk] [--shots DIR]}" && pwd)
shift
WALK=0
SHOTS=""
while [ $# -gt 0 ]; do
  case "$1" in
    --walk) WALK=1 ;;
    --shots) SHOTS=$(mkdir -p "$2" && cd "$2" && pwd); WALK=1; shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
RUN=${TARN_RUN:-$BUILD/win}
DEMO=$BUILD/demo
export WINEPREFIX=$DEMO/prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}

say() { printf '== %s\n' "$*" >&2; }
winpath() { local p; p=$(readlink -f "$1"); printf 'Z:%s' "${p//\//\\}"; }

# --- display ---------------------------------------------------------------
XVFB_PID=""
cleanup() {
  wineserver -k </dev/null >/dev/null 2>&1 || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
if [ "$WALK" = 0 ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  HEADLESS=0
else
  HEADLESS=1
  for n in $(seq 150 199); do [ -e "/tmp/.X${n}-lock" ] || break; done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi

server_start() {
  wineserver -p </dev/null >/dev/null 2>&1
  wineboot </dev/null >/dev/null 2>&1 || true
}
server_stop() { wineserver -k </dev/null >/dev/null 2>&1 || true; }

# --- prefix ------------------------------------------------------------------
say "preparing the Wine prefix $WINEPREFIX"
mkdir -p "$WINEPREFIX"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i </dev/null >/dev/null 2>&1 || true
  wineserver -w </dev/null >/dev/null 2>&1 || true
fi
"$ROOT/tools/wineprefix/setup.sh" "$WINEPREFIX"

C=$WINEPREFIX/drive_c
PROGRAM=$C/Norvane/Tarnwright
PRODUCT=$C/Norvane/Kilnspar
server_start
rm -rf "$C/Norvane"
mkdir -p "$PROGRAM" "$C/ProgramData/Norvane/Quillon" "$C/Norvane/discs/E" "$C/Norvane/discs/F"
cp -r "$ROOT/demo/deployment/program/." "$PROGRAM/"
cp "$RUN/bin/Tarnwright.exe" "$RUN/bin/tarnwalk.exe" "$PROGRAM/"
if [ -n "$SHOTS" ]; then
  # Screenshots for the documentation: the wizard's test build (the same
  # program with test seams) paces its reading of each made disc, so that
  # the disc check's window lives long enough to be shown with its figures.
  cp "$RUN/bin/Tarnwright_testbuild.exe" "$PROGRAM/Tarnwright.exe"
  printf '%s\r\n' '[Verify]' 'MsPerMiB=2000' > "$PROGRAM/TestBuild.ini"
fi
"$ROOT/outside/install-standins.sh" "$RUN" "$C/Norvane" "$PROGRAM" >&2
: > "$C/Norvane/discs/F/KSVDISC.TAG"
# A DVD writer E: and a BD writer F:.
printf '%s\r\n' '[GetOddsList]' 'Result=0' 'Drives=E,F' \
  '[Drive E]' 'Name=Virtual DVD Writer' 'Codes=101,102' \
  '[Drive F]' 'Name=Virtual BD Writer' 'Codes=101,102,201' > "$PRODUCT/KSIF.ini"
printf '%s\r\n' '[Drives]' "E=C:\\Norvane\\discs\\E" "F=C:\\Norvane\\discs\\F" \
  '[Capacity]' 'DVD_1=16' 'BD_1=64' '[Test]' > "$PRODUCT/KSCORE.ini"
rm -f "$PROGRAM/QLNCmnDlg.ini"  # the attention dialog waits for its OK
for d in e f; do ln -sfn "$C/Norvane/discs/${d^^}" "$WINEPREFIX/dosdevices/$d:"; done
wine reg add 'HKLM\Software\Wine\Drives' /v e: /d cdrom /f /reg:64 </dev/null >/dev/null 2>&1
wine reg add 'HKLM\Software\Wine\Drives' /v f: /d cdrom /f /reg:64 </dev/null >/dev/null 2>&1
wine reg add 'HKLM\SOFTWARE\Norvane\Quillon' /v InstFolder /t REG_SZ /d 'C:\Norvane' /reg:32 /f \
  </dev/null >/dev/null 2>&1
wine reg add 'HKLM\SOFTWARE\Norvane\ZRV_PARTLINK' /v DRV3 /t REG_SZ /d R /reg:32 /f </dev/null >/dev/null 2>&1
ln -sfn "$DEMO/recovery" "$WINEPREFIX/dosdevices/r:"
server_stop  # the drive types take effect with the next server

fresh_data() {
  "$BUILD/native/tools/gendata/gendata" --small --clean "$DEMO/recovery" >/dev/null
  printf '%s\r\n' '[Drives]' "E=C:\\Norvane\\discs\\E" "F=C:\\Norvane\\discs\\F" \
    '[Capacity]' 'DVD_1=16' 'BD_1=64' '[Test]' "$@" > "$PRODUCT/KSCORE.ini"
}

LOG=$C/ProgramData/Norvane/Quillon/Tarnwright/Tarnwright.log
WIZARD='C:\Norvane\Tarnwright\Tarnwright.exe'

if [ "$HEADLESS" = 0 ]; then
  say "generating the recovery data (small) for R:"
  fresh_data
  server_start
  say "the wizard is opening on $DISPLAY: $WIZARD /Tarn (close it to end the demo)"
  status=0
  (cd "$PROGRAM" && wine "$WIZARD" /Tarn) </dev/null || status=$?
  say "the wizard ended with exit code $status"
  exit 0
fi

# --- the walk ------------------------------------------------------------------
OUT=$DEMO/shots
rm -rf "$OUT"
set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
}
walk() {  # language label, LC_ALL value
  local lang=$1 out=$OUT/$1
  mkdir -p "$out/144"
  server_stop
  export LC_ALL=$2
  server_start
  say "[$lang] walking the wizard through \"Recovery Media\" on DVD (the first disc fails once, then Retry;"
  say "[$lang]   then the engine spoils it after a run it calls a success, the read-back finds it, Retry)"
  fresh_data 'DelayMs=1500' 'FailOnce=320' 'SpoilOnce=damage'
  set_dpi 96
  local status=0
  (cd "$PROGRAM" && wine 'C:\Norvane\Tarnwright\tarnwalk.exe' "$WIZARD" 'C:\Norvane\Kilnspar' \
     "$(winpath "$out")" 1 DVD) </dev/null | tr -d '\r' | sed "s/^/   [$lang] /" >&2 || status=${PIPESTATUS[0]}
  say "[$lang] the first step at 144 dots per inch"
  fresh_data
  set_dpi 144
  (cd "$PROGRAM" && wine 'C:\Norvane\Tarnwright\tarnwalk.exe' "$WIZARD" 'C:\Norvane\Kilnspar' \
     "$(winpath "$out/144")" 0 DVD) </dev/null >/dev/null 2>&1 || true
  set_dpi 96
  say "[$lang] every step in high contrast (\"Support Tools\" on DVD)"
  fresh_data
  mkdir -p "$out/hc"
  cp "$RUN/bin/Tarnwright_testbuild.exe" "$PROGRAM/Tarnwright_hc.exe"
  printf '%s\r\n' '[Display]' 'HighContrast=1' > "$PROGRAM/TestDisplay.ini"
  (cd "$PROGRAM" && wine 'C:\Norvane\Tarnwright\tarnwalk.exe' 'C:\Norvane\Tarnwright\Tarnwright_hc.exe' \
     'C:\Norvane\Kilnspar' "$(winpath "$out/hc")" 3 DVD) </dev/null >/dev/null 2>&1 || status=1
  rm -f "$PROGRAM/Tarnwright_hc.exe" "$PROGRAM/TestDisplay.ini"
  for f in "$out"/*.bmp "$out"/144/*.bmp "$out"/hc/*.bmp; do
    [ -e "$f" ] && convert "$f" "${f%.bmp}.png" && rm -f "$f"
  done
  return "$status"
}
result=0
walk en C.UTF-8 || result=1
walk ja ja_JP.UTF-8 || result=1
server_stop

say "summary"
for lang in en ja; do
  echo "  $lang: $(ls "$OUT/$lang"/*.png 2>/dev/null | wc -l) screenshots in $OUT/$lang"
  iconv -f UTF-16 -t UTF-8 "$OUT/$lang/discs.txt" 2>/dev/null | tr -d '\r' | sed 's/^/    /'
done
if [ -n "$SHOTS" ]; then
  rm -rf "$SHOTS/en" "$SHOTS/ja"
  for lang in en ja; do
    mkdir -p "$SHOTS/$lang"
    cp "$OUT/$lang"/*.png "$SHOTS/$lang/"
    if [ -f "$OUT/$lang/144/select-disc-set.png" ]; then
      cp "$OUT/$lang/144/select-disc-set.png" "$SHOTS/$lang/select-disc-set-144dpi.png"
    fi
    for step in select-disc-set check-discs make-disc-1 finish; do
      if [ -f "$OUT/$lang/hc/$step.png" ]; then
        cp "$OUT/$lang/hc/$step.png" "$SHOTS/$lang/$step-high-contrast.png"
      fi
    done
  done
  say "screenshots copied to $SHOTS"
fi
if [ "$result" = 0 ]; then
  say "every disc was made and verified (both languages)"
else
  say "the walk did not end well; the wizard's log: $LOG"
fi
exit "$result"
