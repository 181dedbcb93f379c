#!/usr/bin/env bash
# Checks both builds of Quillon.dll against the export fragments
# (src/*/*.def): every listed export must be present with exactly its name
# and ordinal, nothing else may be exported, and the DLLs may import only
# system DLLs - never msi.dll or netapi32.dll, which are bound at run time.
# Usage: tests/checks/exports.sh [REPO_ROOT]
set -uo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
failed=0
fail() { echo "exports: $*" >&2; failed=1; }

# System DLLs a custom-action DLL may import (lower case).
allowed_imports=" kernel32.dll user32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll mpr.dll msvcrt.dll
  gdi32.dll comctl32.dll comdlg32.dll shlwapi.dll version.dll rpcrt4.dll ws2_32.dll secur32.dll userenv.dll ntdll.dll "
forbidden_imports=" msi.dll netapi32.dll "
allowed_imports=" $(echo $allowed_imports) "

# "NAME ORDINAL" per export line of the fragments ("    Name @123"; ";" starts a comment).
expected=$(for fragment in "$root"/src/*/*.def; do
  [ -e "$fragment" ] || continue
  sed -e 's/;.*//' "$fragment" | awk 'NF >= 2 && $2 ~ /^@[0-9]+$/ { print $1, substr($2, 2) }'
done | sort)
if [ -z "$expected" ]; then
  fail "no exports found in $root/src/*/*.def"
  exit 1
fi
dup_names=$(echo "$expected" | awk '{print $1}' | sort | uniq -d)
dup_ordinals=$(echo "$expected" | awk '{print $2}' | sort | uniq -d)
[ -z "$dup_names" ] || fail "names listed twice in the fragments: $dup_names"
[ -z "$dup_ordinals" ] || fail "ordinals listed twice in the fragments: $dup_ordinals"

# "NAME ORDINAL" of every named export in objdump -p output. Older binutils
# print the index from the ordinal base, newer ones add "+base[ N]".
exported() {
  awk '
    /^Ordinal Base/ { base = $3 }
    /^\[Ordinal\/Name Pointer\] Table/ { inside = 1; next }
    inside && /^[[:space:]]*$/ { inside = 0 }
    inside && /\[/ {
      line = $0
      if (match(line, /\+base\[ *[0-9]+\]/)) {
        ordinal = substr(line, RSTART, RLENGTH); gsub(/[^0-9]/, "", ordinal)
      } else {
        match(line, /\[ *[0-9]+\]/); ordinal = substr(line, RSTART, RLENGTH); gsub(/[^0-9]/, "", ordinal)
        ordinal = ordinal + base
      }
      print $NF, ordinal
    }' | sort
}

check_dll() {
  local objdump=$1 dll=$2
  if [ ! -f "$dll" ]; then fail "$dll is missing (build it with ./run build)"; return; fi
  if ! command -v "$objdump" >/dev/null; then fail "$objdump not found"; return; fi
  local dump actual
  dump=$("$objdump" -p "$dll") || { fail "$objdump -p $dll failed"; return; }
  actual=$(echo "$dump" | exported)

  local name ordinal
  while read -r name ordinal; do
    if ! grep -qx "$name $ordinal" <<<"$actual"; then
      local found
      found=$(awk -v n="$name" '$1 == n { print $2 }' <<<"$actual")
      if [ -n "$found" ]; then fail "$dll: $name has ordinal $found, expected $ordinal"
      else fail "$dll: $name @$ordinal is not exported"; fi
    fi
  done <<<"$expected"
  while read -r name ordinal; do
    [ -n "$name" ] || continue
    grep -qx "$name $ordinal" <<<"$expected" || fail "$dll: exports $name @$ordinal, which no fragment lists"
  done <<<"$actual"

  local import lower
  while read -r import; do
    [ -n "$import" ] || continue
    lower=$(tr 'A-Z' 'a-z' <<<"$import")
    if [[ "$forbidden_imports" == *" $lower "* ]]; then fail "$dll imports $import (must be bound at run time)"
    elif [[ "$allowed_imports" != *" $lower "* ]]; then fail "$dll imports $import, which is not a system DLL"; fi
  done < <(echo "$dump" | awk '/DLL Name:/ { print $3 }')

  echo "exports: $dll: $(wc -l <<<"$actual") exports, imports $(echo "$dump" | awk '/DLL Name:/ { printf "%s ", $3 }')"
}

check_dll x86_64-w64-mingw32-objdump "$root/build/win-x64/Quillon.dll"
check_dll i686-w64-mingw32-objdump "$root/build/win-x86/Quillon.dll"
exit $failed
