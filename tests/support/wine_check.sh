# What the end-to-end checks under Wine share; sourced by tests/checks/*.sh
# after they set ROOT. Wine runs with the build's throw-away prefix, quietly
# and without the Mono and Gecko prompts; each check counts its failures and
# ends with finish_check.
BUILD=$ROOT/build/win-x64
export WINEPREFIX=${WINEPREFIX:-$ROOT/build/wine-prefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# Exits unless every file given exists.
require_files() {
  local needed
  for needed in "$@"; do
    [ -f "$needed" ] || { echo "missing $needed (build the win-x64 and native presets first)"; exit 1; }
  done
}

ensure_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
}

finish_check() {  # name
  if [ "$failures" -ne 0 ]; then echo "$1: $failures failure(s)"; exit 1; fi
  echo "$1: all checks passed"
}
