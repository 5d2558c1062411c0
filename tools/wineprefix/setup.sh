#!/usr/bin/env bash
# Gives a Wine prefix what the wizard's windows need to look as they do on
# Windows, once per prefix:
#
#   tools/wineprefix/setup.sh PREFIX
#
# - Wine's own fonts (Tahoma, Marlett, MS Sans Serif, ...) copied into the
#   prefix's Fonts folder: Debian's Wine never loads them from where the
#   fonts-wine package puts them, and without Tahoma "MS Shell Dlg" falls
#   back to a wider font and dialogs lose their classic metrics.
# - Japanese: "MS UI Gothic" (what "MS Shell Dlg" becomes under code page
#   932) is replaced by IPAGothic, so that bold text and captions render.
# - Wine draws window frames and captions itself (no window manager under
#   Xvfb), which also spares a 2 s wait whenever a dialog closes.
# - A drive E: whose disc is the folder C:\tarn-drives\E, so that what the
#   engine stand-in writes there can be read back through the drive, as the
#   wizard reads a made disc back.
# Needs WINEPREFIX=PREFIX and the wine commands on PATH; the wine server may
# be running.
set -euo pipefail
PREFIX=${1:?usage: setup.sh PREFIX}
stamp=$PREFIX/.tarn-prefix-v2
[ -f "$stamp" ] && exit 0

mkdir -p "$PREFIX/drive_c/tarn-drives/E" "$PREFIX/dosdevices"
[ -e "$PREFIX/dosdevices/e:" ] || ln -sfn ../drive_c/tarn-drives/E "$PREFIX/dosdevices/e:"

fonts=$PREFIX/drive_c/windows/Fonts
mkdir -p "$fonts"
for f in /usr/share/wine/fonts/*.ttf; do
  [ -e "$fonts/$(basename "$f")" ] || cp "$f" "$fonts/"
done

reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
printf '%s\r\n' 'REGEDIT4' '' \
  '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' \
  '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' '"MS UI Gothic"="IPAGothic"' '' > "$reg"
WINEPREFIX=$PREFIX wine regedit /S "Z:${reg//\//\\}" \
  </dev/null >/dev/null 2>&1
# Let that short-lived server end, so that the caller's persistent one can start.
WINEPREFIX=$PREFIX wineserver -w </dev/null >/dev/null 2>&1 || true
touch "$stamp"
