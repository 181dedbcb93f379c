#!/usr/bin/env bash
# Text in a double-byte ANSI code page: the Windows tests named *DoubleByte*
# run again under Wine started in a Japanese locale, which gives the process
# code page 932 (Shift-JIS). Wine takes the code page from LC_ALL when it
# starts a program from the shell, without needing the locale installed; a
# process that a Windows program starts does not take it from the environment
# it is given, so this cannot be done from inside the main test run.
# QUILLON_EXPECT_CODE_PAGE makes the tests fail rather than skip when the code
# page is not the one asked for.
# Usage: tests/checks/double_byte_code_page.sh [REPO_ROOT]
set -uo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEPREFIX=${WINEPREFIX:-$root/build/wine-prefix}

win=$root/build/win-x64
[ -f "$win/quillon_win_tests.exe" ] || { echo "double-byte: $win/quillon_win_tests.exe is missing (./run build)" >&2; exit 1; }
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi

log=$root/build/double-byte-tests.log
(cd "$win" && LC_ALL=ja_JP.UTF-8 QUILLON_EXPECT_CODE_PAGE=932 \
  wine ./quillon_win_tests.exe --gtest_filter='*DoubleByte*' --gtest_brief=1) > "$log" 2>&1
status=$?
cat "$log"
# A filter that selects nothing passes too: insist that tests ran and passed.
if [ $status -ne 0 ] || ! grep -qE '^\[  PASSED  \] [1-9][0-9]* tests?\.' "$log" || grep -q 'SKIPPED' "$log"; then
  echo "double-byte: the tests in code page 932 failed or did not run" >&2
  exit 1
fi
echo "double-byte: passed in code page 932"
