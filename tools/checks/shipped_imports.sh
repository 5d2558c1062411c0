#!/usr/bin/env bash
# The libraries that the shipped programs import directly are resolved by
# the system's loader before any code of ours runs, so no restriction of
# the library search can cover them. Each must be one the loader never
# looks for along the search order:
#  - a known system library (the KnownDLLs that Windows 7 and every later
#    version map from the system folder, plus ntdll, which every process
#    has from its start), or
#  - the common controls, when the program's manifest asks for version 6
#    (side by side, from the system's component store).
# Anything else (version.dll, uxtheme.dll, the WMI or cryptography
# libraries...) is to be bound at run time through the restricted search.
#
# Usage: shipped_imports.sh OBJDUMP PROGRAM.exe... Lists every direct import
# of every program; exits 1 when one is neither of the above.
set -euo pipefail

objdump=${1:?usage: shipped_imports.sh OBJDUMP PROGRAM.exe...}
shift

known=(advapi32 comdlg32 gdi32 imagehlp imm32 kernel32 msvcrt normaliz nsi ntdll ole32 oleaut32 psapi
       rpcrt4 sechost setupapi shell32 shlwapi user32 wldap32 ws2_32)
is_known() {
  local entry
  for entry in "${known[@]}"; do [ "$entry" = "$1" ] && return 0; done
  return 1
}

failed=0
for program in "$@"; do
  name=$(basename "$program")
  manifest_v6=no
  if grep -aq 'Microsoft.Windows.Common-Controls' "$program" &&
     grep -aq 'version="6.0.0.0"' "$program"; then
    manifest_v6=yes
  fi
  imports=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr 'A-Z' 'a-z' | sort -u)
  [ -n "$imports" ] || { echo "$name: no import table found"; failed=1; continue; }
  for dll in $imports; do
    base=${dll%.dll}
    if is_known "$base"; then
      echo "$name: $dll (known system library)"
    elif [ "$base" = comctl32 ] && [ "$manifest_v6" = yes ]; then
      echo "$name: $dll (version 6 through the manifest)"
    else
      echo "$name: $dll IS LOOKED FOR ALONG THE SEARCH ORDER: bind it at run time instead"
      failed=1
    fi
  done
done
exit $failed
