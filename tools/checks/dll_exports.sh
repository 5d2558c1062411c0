#!/usr/bin/env bash
# A library's exports are bound by their plain names (GetProcAddress with
# "GetOddsListW"). A 32-bit __stdcall function exported without a .def file
# gets a decorated name ("GetOddsListW@8") that no caller asks for, and the
# caller then finds nothing. Run after every library is linked: fails the
# build when an export name carries a decoration ("@").
#
# Usage: dll_exports.sh OBJDUMP LIBRARY.dll
set -euo pipefail

objdump=${1:?usage: dll_exports.sh OBJDUMP LIBRARY.dll}
library=${2:?usage: dll_exports.sh OBJDUMP LIBRARY.dll}

names=$("$objdump" -p "$library" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^[[:space:]]*$/p' |
        sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p')
decorated=$(printf '%s\n' "$names" | grep '@' || true)
if [ -n "$decorated" ]; then
  echo "$(basename "$library"): decorated export names (give them plain names in a .def file):" >&2
  printf '  %s\n' $decorated >&2
  exit 1
fi
