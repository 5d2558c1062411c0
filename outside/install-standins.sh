#!/usr/bin/env bash
# Lays out the stand-ins for the maker's components in a Wine prefix, ready
# for a demonstration run of the wizard:
#
#   outside/install-standins.sh WIN_BUILD_DIR DEST_DIR [DIALOG_DIR]
#
#   WIN_BUILD_DIR  the Windows build folder (holds outside/KSCORE.exe ...)
#   DEST_DIR       where the burning product is installed: DEST_DIR/Kilnspar
#                  gets KSCORE.exe, KSIF.dll and their settings, and
#                  DEST_DIR/discs/E is drive E's virtual disc
#   DIALOG_DIR     where QLNCmnDlg.dll and its settings go (default: DEST_DIR);
#                  the wizard looks beside its own executable first
#
# Needs WINEPREFIX (as ./tarn wine sets it); registers the install folder in
# HKLM\SOFTWARE\Norvane\Kilnspar, value InstFolder, 32-bit view. The settings
# offer one DVD and BD writer E, discs of 16 MiB (DVD) and 64 MiB (BD), and a
# format attention dialog that closes itself after two seconds. Edit the INI
# files afterwards for other cases (see outside/README.md).
set -euo pipefail

if [ $# -lt 2 ]; then sed -n '2,20p' "$0"; exit 2; fi
: "${WINEPREFIX:?WINEPREFIX must name the Wine prefix}"
BUILD_OUT=$1/outside
DEST=$2
DIALOG_DIR=${3:-$DEST}
for f in KSCORE.exe KSIF.dll QLNCmnDlg.dll; do
  [ -f "$BUILD_OUT/$f" ] || { echo "missing $BUILD_OUT/$f: build the Windows targets first" >&2; exit 1; }
done

# Wine sees the host's root as drive Z:.
winpath() { local p; p=$(readlink -f "$1"); printf 'Z:%s' "${p//\//\\}"; }

PRODUCT=$DEST/Kilnspar
DISC=$DEST/discs/E
mkdir -p "$PRODUCT" "$DISC" "$DIALOG_DIR"
cp "$BUILD_OUT/KSCORE.exe" "$BUILD_OUT/KSIF.dll" "$PRODUCT/"
cp "$BUILD_OUT/QLNCmnDlg.dll" "$DIALOG_DIR/"
: > "$DISC/KSVDISC.TAG"

printf '%s\r\n' '[GetOddsList]' 'Result=0' 'Drives=E' \
  '[Drive E]' 'Name=Virtual DVD/BD Writer' 'Codes=101,102,201' > "$PRODUCT/KSIF.ini"
printf '%s\r\n' '[Drives]' "E=$(winpath "$DISC")" \
  '[Capacity]' 'DVD_1=16' 'BD_1=64' '[Test]' > "$PRODUCT/KSCORE.ini"
printf '%s\r\n' '[AttentionToDiscFormat]' 'CloseAfterMs=2000' > "$DIALOG_DIR/QLNCmnDlg.ini"

wine reg add 'HKLM\SOFTWARE\Norvane\Kilnspar' /v InstFolder /t REG_SZ /d "$(winpath "$PRODUCT")" \
  /reg:32 /f </dev/null >/dev/null 2>&1
echo "burning product stand-ins in $PRODUCT, drive E's disc in $DISC"
