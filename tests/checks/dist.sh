#!/usr/bin/env bash
# The release as an installer author gets it. `./run dist` writes the zip;
# this check unpacks it, compares its table of contents with what a release
# carries, and then uses only the unpacked copy, never the build tree:
# - the C example, built with MinGW against libquillon.dll.a for x86 and x64;
#   the x64 one runs under Wine on the sample configuration and prints what
#   the library read, wrote and computed;
# - the same example compiled in Microsoft mode (clang for an MSVC target,
#   Wine's Windows headers) and linked by lld-link, a Microsoft-compatible
#   linker, against Quillon.lib; the x64 one runs too;
# - every client's import table asks Quillon.dll for undecorated names,
#   although an x86 client calls _Init@0;
# - the VBScript example, run by cscript after regsvr32 registered the x64 DLL;
# - the WiX include with every installer action, built into a package with
#   wixl for x86 and x64; the x64 package is installed by Wine's msiexec;
# - quillon.exe --version names the zip's version.
# Usage: tests/checks/dist.sh REPO_ROOT
set -uo pipefail
ROOT=${1:?usage: dist.sh REPO_ROOT}
source "$ROOT/tests/support/wine_check.sh"
work=$ROOT/build/dist-check

for tool in unzip wixl wine clang lld-link llvm-readobj x86_64-w64-mingw32-gcc i686-w64-mingw32-gcc; do
  command -v "$tool" >/dev/null || { echo "dist: $tool is not installed"; exit 1; }
done

"$ROOT/run" dist >"$ROOT/build/dist.log" 2>&1 || { tail -n 20 "$ROOT/build/dist.log"; echo "dist: ./run dist failed"; exit 1; }
zips=("$ROOT"/dist/quillon-*-windows.zip)
[ ${#zips[@]} -eq 1 ] && [ -f "${zips[0]}" ] || { echo "dist: expected one zip in dist/, found: ${zips[*]}"; exit 1; }
zip=${zips[0]}
name=$(basename "$zip" .zip)
version=${name#quillon-}
version=${version%-windows}
rm -rf "$work" && mkdir -p "$work"
unzip -q "$zip" -d "$work" || { echo "dist: unzip failed"; exit 1; }
release=$work/$name

# Table of contents: everything under one folder named like the zip.
expected=$( {
  printf '%s\n' README.md LICENSE include/quillon.h
  for arch in x86 x64; do printf "$arch/%s\n" Quillon.dll Quillon.lib libquillon.dll.a quillon.exe; done
  (cd "$ROOT" && find docs examples -maxdepth 1 -type f)
} | sed "s|^|$name/|" | sort)
actual=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
if [ "$actual" = "$expected" ]; then pass "table of contents ($(wc -l <<<"$actual") files)"
else fail "table of contents differs (< expected, > in the zip):"; diff <(echo "$expected") <(echo "$actual") | grep '^[<>]'; fi
grep -q "Quillon $version for Windows" "$release/README.md" && pass "README names version $version" ||
  fail "README.md does not name version $version"

ensure_wine_prefix

printed=$(cd "$release" && wine x64/quillon.exe --version 2>&1 | tr -d '\r')
[ "$printed" = "quillon $version" ] && pass "x64 quillon.exe --version: $printed" ||
  fail "x64 quillon.exe --version printed '$printed', the zip is version $version"

# What examples/client.c prints for examples/setup-config.xml.
client_expected='publisher: Northwind Accounting & Payroll
server: LEDGER-SRV port 4200
Component: Client (ledger.exe)
Component: Reports (reports.dll)
Component: Help (ledger.chm)
written: port 4300, backup LEDGER-SRV2
4.2.9 < 4.2.10: 1
4.2.10 < 4.2.9: 0
port + 1: 4301
text: next port 4301'

run_client() {  # label folder-with-client.exe
  local out
  cp "$release/x64/Quillon.dll" "$2/"
  out=$(cd "$release" && wine "$2/client.exe" examples/setup-config.xml "$2/edited.xml" 2>&1 | tr -d '\r')
  if [ "$out" = "$client_expected" ]; then pass "$1: the client's transcript"
  else fail "$1: the client printed:"; diff <(echo "$client_expected") <(echo "$out") | grep '^[<>]'; fi
}

# The client's imports from Quillon.dll: present, and none decorated.
check_imports() {  # label objdump exe
  local names
  names=$("$2" -p "$3" | awk '/DLL Name:/ { inside = ($3 == "Quillon.dll") ; next }
                                inside && NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print $3 }
                                inside && NF == 0 { inside = 0 }')
  if ! grep -qx Init <<<"$names" || ! grep -qx Execute <<<"$names"; then fail "$1: imports from Quillon.dll: $(echo $names)"
  elif grep -q '@' <<<"$names"; then fail "$1: decorated imports: $(echo $names)"
  else pass "$1: imports $(wc -l <<<"$names") undecorated names from Quillon.dll"; fi
}

# MinGW: the header from C and from C++, the example linked with libquillon.dll.a.
for arch in x64:x86_64 x86:i686; do
  a=${arch%%:*} prefix=${arch#*:}-w64-mingw32
  mkdir -p "$work/mingw-$a"
  if "$prefix-gcc" -std=c99 -Wall -Wextra -Werror -I "$release/include" "$release/examples/client.c" \
       "$release/$a/libquillon.dll.a" -o "$work/mingw-$a/client.exe"; then
    pass "$a MinGW: client.c builds against libquillon.dll.a"
    check_imports "$a MinGW client" "$prefix-objdump" "$work/mingw-$a/client.exe"
  else fail "$a MinGW: client.c does not build"; fi
  "$prefix-g++" -x c++ -std=c++17 -Wall -Wextra -Werror -I "$release/include" -c "$release/examples/client.c" \
    -o "$work/mingw-$a/client-cxx.o" && pass "$a MinGW: client.c compiles as C++" || fail "$a MinGW: not as C++"
done
[ -f "$work/mingw-x64/client.exe" ] && run_client "x64 MinGW" "$work/mingw-x64"

# Microsoft mode: clang with _MSC_VER and Wine's Windows headers compiles,
# lld-link links against Quillon.lib. The x64 client starts through Wine's
# own start-up code and C runtime import libraries; the x86 one only links
# (no 32-bit Wine here): MinGW's C runtime import libraries carry no SEH
# tables, hence /safeseh:no, and it is never started, hence /entry:main.
wine_libs=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
msvc_include=(-nostdinc -isystem "$(clang -print-resource-dir)/include"
              -isystem /usr/include/wine/wine/msvcrt -isystem /usr/include/wine/wine/windows)
for arch in x64:x86_64 x86:i686; do
  a=${arch%%:*} triple=${arch#*:}-pc-windows-msvc
  mkdir -p "$work/msvc-$a"
  if ! clang --target="$triple" -fms-compatibility "${msvc_include[@]}" -Wall -Wextra -Werror \
         -I "$release/include" -c "$release/examples/client.c" -o "$work/msvc-$a/client.obj"; then
    fail "$a Microsoft mode: client.c does not compile"; continue
  fi
  if [ "$a" = x64 ]; then
    link=(/entry:mainCRTStartup "$wine_libs/libwinecrt0.a" "$wine_libs/libucrtbase.a" "$wine_libs/libkernel32.a")
  else
    link=(/entry:main /safeseh:no /usr/i686-w64-mingw32/lib/libucrtbase.a /usr/i686-w64-mingw32/lib/libkernel32.a)
  fi
  if lld-link /nologo /subsystem:console /out:"$work/msvc-$a/client.exe" "$work/msvc-$a/client.obj" \
       "$release/$a/Quillon.lib" "${link[@]}"; then
    pass "$a Microsoft mode: client.c links against Quillon.lib"
    check_imports "$a lld-link client" "${arch#*:}-w64-mingw32-objdump" "$work/msvc-$a/client.exe"
  else fail "$a Microsoft mode: lld-link against Quillon.lib failed"; fi
done
[ -f "$work/msvc-x64/client.exe" ] && run_client "x64 Microsoft mode" "$work/msvc-x64"

# Quillon.lib names every export of the DLL, by its client-side symbol: on
# x86 the decorated one with the "undecorate" import name type, which makes
# the linker ask for the plain name.
for arch in x64:x86_64 x86:i686; do
  a=${arch%%:*}
  exports=$("${arch#*:}-w64-mingw32-objdump" -p "$release/$a/Quillon.dll" |
            awk '/^\[Ordinal\/Name Pointer\] Table/ { inside = 1; next } inside && NF == 0 { exit } inside { print $NF }')
  lib=$(llvm-readobj "$release/$a/Quillon.lib")
  missing=""
  for export in $exports; do
    if [ "$a" = x86 ]; then
      grep -qE "^Symbol: __imp__$export@[0-9]+\$" <<<"$lib" || missing+=" $export"
    else
      grep -qx "Symbol: __imp_$export" <<<"$lib" || missing+=" $export"
    fi
  done
  types=$(sed -n 's/^Name type: //p' <<<"$lib" | sort -u | tr '\n' ' ')
  want_type="name "; [ "$a" = x86 ] && want_type="undecorate "
  if [ -z "$exports" ]; then fail "$a: no exports read from Quillon.dll"
  elif [ -n "$missing" ]; then fail "$a Quillon.lib lacks:$missing"
  elif [ "$types" != "$want_type" ]; then fail "$a Quillon.lib import name types: $types"
  else pass "$a Quillon.lib: all $(wc -w <<<"$exports") exports, import name type $types"; fi
done

# The VBScript example against the unpacked x64 DLL, registered by regsvr32.
dll_windows="Z:${release//\//\\}\\x64\\Quillon.dll"
if wine regsvr32 /s "$dll_windows"; then
  out=$(cd "$release" && wine cscript //nologo examples/config.vbs 2>&1 | tr -d '\r')
  wine regsvr32 /u /s "$dll_windows" || fail "regsvr32 /u of the unpacked Quillon.dll"
  vbs_expected=$'Option 1: Client\nOption 2: Reports\nOption 3: Help\nOption 4: (none)\nUnsigned, in protection mode: (none)'
  if [ "$out" = "$vbs_expected" ]; then pass "cscript runs examples/config.vbs against the registered DLL"
  else fail "examples/config.vbs printed:"; diff <(echo "$vbs_expected") <(echo "$out") | grep '^[<>]'; fi
else fail "regsvr32 does not register the unpacked x64 Quillon.dll"; fi

# The WiX include: packages for both bitnesses, the x64 one installed.
for a in x86 x64; do
  (cd "$release" && wixl -a "$a" -D QuillonDll="$a/Quillon.dll" examples/package.wxs -o "$work/package-$a.msi") &&
    pass "$a: wixl builds examples/package.wxs with quillon-actions.wxi" || fail "$a: wixl rejects the example package"
done
if [ -f "$work/package-x64.msi" ]; then
  (cd "$work" && rm -f install.log && wine msiexec /i package-x64.msi /qn /norestart /l*v install.log INSTALLED_VERSION=2.9)
  code=$?
  [ "$code" -eq 0 ] && pass "msiexec installs the example package" || fail "msiexec exit code $code"
  log_text=$(tr -d '\r' <"$work/install.log" 2>/dev/null)
  property() { sed -n "s/^Property(S): $1 = //p" <<<"$log_text" | tail -n1; }
  for expectation in VERSION_COMPARE_RESULT=2 FDX_VAR3=2 REBOOT_REQUIRED=0; do
    got=$(property "${expectation%%=*}")
    [ "$got" = "${expectation#*=}" ] && pass "example package: $expectation" ||
      fail "example package: ${expectation%%=*} is '$got', expected ${expectation#*=}"
  done
  rights=$(property RIGHTS_OK)
  [[ "$rights" == [01] ]] && pass "example package: CheckRights wrote RIGHTS_OK = $rights" ||
    fail "example package: RIGHTS_OK is '$rights'"
  actions="QuillonCompareVersions QuillonCustomFunction QuillonCheckRights QuillonIsRebootRequired"
  [ "$rights" = 0 ] && actions+=" QuillonSetRights"  # granted only after a failed check
  for action in $actions; do
    grep -q "Action ended .*: $action\. Return value 1\." <<<"$log_text" && pass "example package: $action ran" ||
      fail "example package: $action did not end well"
  done
  (cd "$work" && wine msiexec /x package-x64.msi /qn /norestart) || fail "the example package does not uninstall"
fi

finish_check dist
