#!/usr/bin/env bash
# End to end: the COM server of the x64 Quillon.dll under Wine.
#
# 1. `regsvr32 /s` registers it; `reg query` reads back every key the three
#    registered classes' scripts write, and the type library's registration.
# 2. `regsvr32 /u` removes them again and keeps HKEY_CLASSES_ROOT\CLSID.
# 3. A real scripting host: the VBScript examples of docs/com.md, run in
#    order as one script by `cscript` against the registered server, print
#    what tests/e2e/com_client.expected holds. The examples read their files
#    from C:\Setup\, which this script points at its own folder: a
#    configuration signed by the native quillon tool, a copy with one byte
#    changed, and a file that does not exist.
# Usage: tests/checks/com_server.sh REPO_ROOT
set -uo pipefail
ROOT=${1:?usage: com_server.sh REPO_ROOT}
source "$ROOT/tests/support/wine_check.sh"
WORK=$ROOT/build/e2e-com

dll=$BUILD/Quillon.dll
tool=$ROOT/build/native/quillon
require_files "$dll" "$tool"
ensure_wine_prefix
# One Wine server for all the commands below.
wineserver -p 60 >/dev/null 2>&1 || true
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
dll_windows=$(windows_path "$dll")
trap 'wine regsvr32 /u /s "$dll_windows" >/dev/null 2>&1; wineserver -k >/dev/null 2>&1' EXIT

libid='{5A486531-0201-43E0-BD81-D544BB08D0DC}'
classes=(
  "CQuillonConfig {2C21A4B6-C51A-4990-B440-B0841534F73A}"
  "Property {2D070527-5F3F-4A0C-B426-2E598F6D470D}"
  "Feature {1376FC15-A0AA-4120-9F27-112A0563B46B}"
)
unregistered_classes=("{F02891C9-B0EC-431F-A4FF-5CD52E606442}" "{6625029A-F578-48ED-8D43-C942802AFAB2}")

# `reg query KEY /s` as lines "key|value name|data", and "key" for each key.
registry() {
  wine reg query "$1" /s 2>/dev/null | tr -d '\r' | awk -F '    ' '
    /^HKEY_/ { key = $0; print key; next }
    /^    / && NF >= 4 { print key "|" $2 "|" $4 }'
}
exists() { wine reg query "$1" >/dev/null 2>&1; }

# Everything one class's script registers, in the order `registry` prints it.
expected_keys() {  # name clsid
  local name=$1 clsid=$2 classes='HKEY_CLASSES_ROOT' key
  printf '%s\n' "$classes\\Quillon.$name.1" "$classes\\Quillon.$name.1|(Default)|$name Class" \
    "$classes\\Quillon.$name.1\\CLSID" "$classes\\Quillon.$name.1\\CLSID|(Default)|$clsid" \
    "$classes\\Quillon.$name" "$classes\\Quillon.$name|(Default)|$name Class" \
    "$classes\\Quillon.$name\\CLSID" "$classes\\Quillon.$name\\CLSID|(Default)|$clsid" \
    "$classes\\Quillon.$name\\CurVer" "$classes\\Quillon.$name\\CurVer|(Default)|Quillon.$name.1"
  key="$classes\\CLSID\\$clsid"
  printf '%s\n' "$key" "$key|(Default)|$name Class" \
    "$key\\InprocServer32" "$key\\InprocServer32|(Default)|$dll_windows" \
    "$key\\InprocServer32|ThreadingModel|Apartment" \
    "$key\\ProgID" "$key\\ProgID|(Default)|Quillon.$name.1" \
    "$key\\Programmable" \
    "$key\\TypeLib" "$key\\TypeLib|(Default)|$libid" \
    "$key\\VersionIndependentProgID" "$key\\VersionIndependentProgID|(Default)|Quillon.$name"
}

# 1. Registration.
if wine regsvr32 /s "$dll_windows"; then pass "regsvr32 /s registers the server"
else fail "regsvr32 /s failed"; fi
for entry in "${classes[@]}"; do
  read -r name clsid <<<"$entry"
  actual=$( { registry "HKCR\\Quillon.$name.1"; registry "HKCR\\Quillon.$name"; registry "HKCR\\CLSID\\$clsid"; } | sort)
  expected=$(expected_keys "$name" "$clsid" | sort)
  if [ "$actual" = "$expected" ]; then pass "$name: ProgIDs, CurVer, CLSID, InprocServer32 (module path, Apartment), TypeLib, Programmable"
  else fail "$name keys differ:"; diff <(echo "$expected") <(echo "$actual"); fi
done
for clsid in "${unregistered_classes[@]}"; do
  if exists "HKCR\\CLSID\\$clsid"; then fail "$clsid has registry keys"; else pass "$clsid (a collection) has no keys"; fi
done
typelib=$(registry "HKCR\\TypeLib\\$libid\\1.0\\409\\win64" | grep '(Default)')
if [ "$typelib" = "HKEY_CLASSES_ROOT\\TypeLib\\$libid\\1.0\\409\\win64|(Default)|$dll_windows" ]; then
  pass "the type library is registered for the module"
else fail "type library registration: '$typelib'"; fi

# 2. Unregistration.
if wine regsvr32 /u /s "$dll_windows"; then pass "regsvr32 /u /s"; else fail "regsvr32 /u /s failed"; fi
left=""
for entry in "${classes[@]}"; do
  read -r name clsid <<<"$entry"
  for key in "Quillon.$name.1" "Quillon.$name" "CLSID\\$clsid"; do exists "HKCR\\$key" && left+=" $key"; done
done
exists "HKCR\\TypeLib\\$libid" && left+=" TypeLib\\$libid"
if [ -z "$left" ]; then pass "unregistered: no class, ProgID or type library keys left"; else fail "left after unregistering:$left"; fi
if exists 'HKCR\CLSID'; then pass "HKEY_CLASSES_ROOT\\CLSID is kept"; else fail "HKEY_CLASSES_ROOT\\CLSID was removed"; fi

# 3. The documentation's VBScript examples.
rm -rf "$WORK" && mkdir -p "$WORK"
"$tool" config sign "$ROOT/examples/setup-config.xml" --app Ledger --version 4.2 -o "$WORK/setup-config.xml" >/dev/null ||
  fail "quillon config sign"
sed 's/<Port>4200</<Port>4201</' "$WORK/setup-config.xml" >"$WORK/changed-config.xml"
work_windows=$(windows_path "$WORK")
examples=$(sed -n '/^```vbscript$/,/^```$/p' "$ROOT/docs/com.md" | sed '/^```/d')
printf '%s\n' "${examples//'C:\Setup\'/$work_windows\\}" >"$WORK/examples.vbs"
wine regsvr32 /s "$dll_windows" || fail "regsvr32 /s before the script"
(cd "$WORK" && wine cscript //nologo examples.vbs) 2>&1 | tr -d '\r' >"$WORK/examples.out"
if diff -u "$ROOT/tests/e2e/com_client.expected" "$WORK/examples.out"; then
  pass "cscript runs the examples of docs/com.md as tests/e2e/com_client.expected says"
else fail "cscript output differs (above)"; fi

finish_check com_server
