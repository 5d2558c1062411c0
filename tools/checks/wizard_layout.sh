#!/usr/bin/env bash
# Two rules of the wizard's source tree, checked by ctest (native build):
#
#  1. Includes run only down the order in which the subsystems build on
#     each other: app <- config <- ui <- steps, and app <- burn <- steps.
#     A subsystem includes its own headers and those of the subsystems it
#     builds on; a portable core (X/core) includes only core headers. The
#     start-up library (app/startup), the executable's folder (res) and
#     the test support (testing) sit above everything and may include
#     anything; the resource ids (res/resource.h) are a leaf every window
#     may name. A subsystem's tests include what the subsystem may, and
#     the test support.
#  2. No function of wizard/ (tests included) is 80 lines or longer.
#
# Usage: wizard_layout.sh WIZARD_FOLDER. Prints every breach and exits 1
# when there is one.
set -euo pipefail

root=${1:?usage: wizard_layout.sh WIZARD_FOLDER}
root=${root%/}
cd "$root"

declare -A may=(
  [app]="app"
  [config]="app config"
  [burn]="app burn"
  [ui]="app config ui"
  [steps]="app config burn ui steps"
)
readonly max_lines=80

# The place of a path relative to wizard/: "top" (may include anything),
# "leaf" (may be included by anyone), "testing", or "<subsystem> <kind>"
# with kind core, shell or tests.
place_of() {
  case "$1" in
    res/resource.h) echo leaf ;;
    app/startup/* | res/*) echo top ;;
    testing/*) echo testing ;;
    */tests/*) echo "${1%%/*} tests" ;;
    */core/*) echo "${1%%/*} core" ;;
    */*) echo "${1%%/*} shell" ;;
    *) echo top ;;
  esac
}

# The file an include names, relative to wizard/, or nothing when it lies
# outside (the standard library, googletest, the data generator).
resolve() {
  local from_dir=$1 name=$2
  if [ -f "$name" ]; then
    echo "$name"
  elif [ -f "$from_dir/$name" ]; then
    echo "$from_dir/$name"
  elif [ -f "testing/$name" ]; then
    echo "testing/$name"
  fi
}

breaches=0
breach() {
  echo "$1"
  breaches=$((breaches + 1))
}

while IFS= read -r file; do
  file=${file#./}
  read -r from_sub from_kind <<<"$(place_of "$file")"
  [ "$from_sub" = top ] || [ "$from_sub" = testing ] && continue
  while IFS=: read -r line name; do
    target=$(resolve "$(dirname "$file")" "$name")
    [ -n "$target" ] || continue
    read -r to_sub to_kind <<<"$(place_of "$target")"
    [ "$to_sub" = leaf ] && continue
    where="wizard/$file:$line includes \"$name\""
    if [ "$to_sub" = top ]; then
      breach "$where: the start-up library and the executable are included by nothing below them"
      continue
    fi
    if [ "$to_sub" = testing ]; then
      [ "$from_kind" = tests ] || breach "$where: only tests include the test support"
      continue
    fi
    if [ "$to_kind" = tests ]; then
      [ "$from_kind" = tests ] && [ "$from_sub" = "$to_sub" ] || breach "$where: another folder's tests"
      continue
    fi
    case " ${may[$from_sub]:-} " in
      *" $to_sub "*) ;;
      *) breach "$where: $from_sub does not build on $to_sub" ;;
    esac
    if [ "$from_kind" = core ] && [ "$to_kind" != core ]; then
      breach "$where: a portable core includes only core headers"
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" | sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/')
done < <(find . -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

# Function lengths: a definition starts at a line in column 0 that opens
# with a name (not a comment, preprocessor line, namespace, type, alias or
# access label) and holds "(", its head ending in "{" on that line or a
# later one; it ends at the next line that is "}" alone in column 0 (the
# project's layout: namespaces are not indented, bodies are).
long=$(find . -type f \( -name '*.h' -o -name '*.cpp' \) | sort | xargs awk -v max="$max_lines" '
  FNR == 1 { head = 0; inside = 0 }
  {
    line = $0
    if (inside) {
      if (line ~ /^}[ \t]*(\/\/.*)?$/) {
        if (FNR - start + 1 >= max) printf "wizard/%s:%d: %s is %d lines\n", substr(FILENAME, 3), start, name, FNR - start + 1
        inside = 0
      }
      next
    }
    if (head) {
      if (line ~ /;[ \t]*$/ && line !~ /\{/) head = 0
      else if (line ~ /\{[ \t]*(\/\/.*)?$/) { inside = 1; head = 0 }
      next
    }
    if (line ~ /^[A-Za-z_~]/ && line ~ /\(/ &&
        line !~ /^(namespace|class|struct|enum|union|using|typedef|extern|template|public:|private:|protected:)/) {
      start = FNR
      name = line
      sub(/\(.*/, "", name)
      if (line ~ /;[ \t]*$/ || line ~ /\}[ \t;]*$/) next
      if (line ~ /\{[ \t]*(\/\/.*)?$/) inside = 1
      else head = 1
    }
  }')
if [ -n "$long" ]; then
  while IFS= read -r entry; do breach "$entry (at most $((max_lines - 1)))"; done <<<"$long"
fi

if [ "$breaches" -gt 0 ]; then
  echo "wizard layout: $breaches breach(es)"
  exit 1
fi
echo "wizard layout: includes run down the subsystem order, every function is under $max_lines lines"
