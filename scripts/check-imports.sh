#!/usr/bin/env bash
# Checks that a Windows program imports only functions its oldest Windows
# has: every function in the program's import table must be on one of the
# given lists (each line a DLL, then functions it exports; "#" starts a
# comment). A function
# that is missing there stops the program from loading at all, with no
# message of its own, so a newer call has to be looked up at run time.
#
#   scripts/check-imports.sh <program.exe> <list>...
#
# Prints each import not on the lists and fails if there is any.
set -euo pipefail
if (($# < 2)); then
  echo "usage: $0 <program.exe> <list>..." >&2
  exit 2
fi
exe="$1"
shift

# objdump prints each DLL's imports under a "DLL Name:" line, one function
# per line: address, hint and name, separated by tabs and blanks.
imports() {
  x86_64-w64-mingw32-objdump -p "$exe" | awk -F'\t' '
    /DLL Name:/ { dll = tolower(substr($2, index($2, ":") + 2)); next }
    /^$/        { dll = "" }
    dll != "" && NF >= 3 && $2 ~ /^[0-9a-f]+$/ {
      split($3, field, " ")
      if (field[2] != "") print dll " " field[2]
    }' | sort -u
}
allowed() {
  sed 's/#.*//' "$@" | awk '{ for (i = 2; i <= NF; ++i) print tolower($1) " " $i }' | sort -u
}

found="$(imports)"
if [[ -z "$found" ]]; then
  echo "FAILED: no import table read from $exe"
  exit 1
fi
unknown="$(comm -23 <(echo "$found") <(allowed "$@"))"
if [[ -n "$unknown" ]]; then
  echo "FAILED: $exe imports functions that are not on $*:"
  sed 's/^/  /' <<<"$unknown"
  echo "  (look up each one's oldest Windows; a newer call is looked up at run time)"
  exit 1
fi
echo "$exe: $(wc -l <<<"$found") imports, each on $*"
