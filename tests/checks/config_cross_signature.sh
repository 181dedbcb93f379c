#!/usr/bin/env bash
# A signature made on one system verifies on the other:
#   1. `quillon config sign` on Linux signs the sample's Ledger 4.2 section;
#   2. under Wine, the Windows build loads it in protection mode (valid), and
#      Quillon.dll's Write2XML writes it out again (quillon_win_tests.exe,
#      ConfigCrossPlatform, with QUILLON_CROSS_DIR), and quillon.exe
#      verifies it;
#   3. `quillon config verify` on Linux finds the DLL's file valid;
#   4. one changed byte makes it invalid on both systems.
# Usage: tests/checks/config_cross_signature.sh [REPO_ROOT]
set -uo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEPREFIX=${WINEPREFIX:-$root/build/wine-prefix}

q=$root/build/native/quillon
win=$root/build/win-x64
dir=$root/build/cross-signature
failed=0
fail() { echo "cross-signature: $*" >&2; failed=1; }

for needed in "$q" "$win/quillon_win_tests.exe" "$win/Quillon.dll" "$win/quillon.exe"; do
  [ -f "$needed" ] || { echo "cross-signature: $needed is missing (./run build)" >&2; exit 1; }
done
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi

rm -rf "$dir" && mkdir -p "$dir"
"$q" config sign "$root/examples/setup-config.xml" --app Ledger --version 4.2 -o "$dir/linux-signed.xml" \
  || fail "quillon config sign failed on Linux"

(cd "$win" && QUILLON_CROSS_DIR="Z:$dir" wine ./quillon_win_tests.exe --gtest_filter='ConfigCrossPlatform.*' \
  --gtest_brief=1) > "$dir/wine-tests.log" 2>&1 || { cat "$dir/wine-tests.log" >&2; fail "Write2XML under Wine did not rewrite the Linux-signed file byte for byte"; }

verdict=$(cd "$win" && wine ./quillon.exe config verify "Z:$dir/linux-signed.xml" --app Ledger --version 4.2 | tr -d '\r')
[ "$verdict" = "valid" ] || fail "quillon.exe under Wine says '$verdict' for the Linux-signed file"

[ -f "$dir/wine-written.xml" ] || fail "Write2XML under Wine wrote no file"
verdict=$("$q" config verify "$dir/wine-written.xml" --app Ledger --version 4.2)
[ "$verdict" = "valid" ] || fail "quillon config verify on Linux says '$verdict' for the file Write2XML wrote"

sed 's/<Port>4200</<Port>4201</' "$dir/wine-written.xml" > "$dir/tampered.xml"
cmp -s "$dir/wine-written.xml" "$dir/tampered.xml" && fail "the tampering edit changed nothing"
verdict=$("$q" config verify "$dir/tampered.xml" --app Ledger --version 4.2)
[ "$verdict" = "invalid" ] || fail "Linux says '$verdict' for a tampered file"
verdict=$(cd "$win" && wine ./quillon.exe config verify "Z:$dir/tampered.xml" --app Ledger --version 4.2 | tr -d '\r')
[ "$verdict" = "invalid" ] || fail "Wine says '$verdict' for a tampered file"

[ $failed -eq 0 ] && echo "cross-signature: Linux -> Wine and Wine -> Linux signatures verify; a changed byte is caught on both"
exit $failed
