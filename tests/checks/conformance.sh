#!/usr/bin/env bash
# Runs the W3C XML conformance tests carried in tests/data/xmlconf through
# `quillon xml-events` and fails when a disagreement is not explained by a
# documented reader choice (docs/xml-conformance.md), or when any of the
# suite's files is missing.
set -euo pipefail
root=$1
suite=$root/tests/data/xmlconf
log=$root/build/conformance.log
if python3 "$root/tools/conformance/report.py" "$root/build/native/quillon" "$suite" > "$log" 2>&1; then
  grep -E '^TOTAL|every disagreement' "$log"
else
  cat "$log"
  exit 1
fi
