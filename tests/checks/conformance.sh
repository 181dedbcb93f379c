#!/usr/bin/env bash
# Runs the W3C XML conformance suite through `quillon xml-events` and fails
# when a disagreement is not explained by a documented reader choice
# (docs/xml-conformance.md). Skipped when the suite is not on this machine.
set -euo pipefail
root=$1
suite=${QUILLON_XMLCONF:-$root/../shared/xmlconf}
tool=$root/build/native/quillon
if [ ! -f "$suite/xmlconf.xml" ] || [ ! -f "$suite/../tools/xmlconf_run.py" ]; then
  echo "conformance: suite not found at $suite; skipped"
  exit 0
fi
log=$root/build/conformance.log
if python3 "$root/tools/conformance/report.py" "$tool" "$suite" > "$log" 2>&1; then
  grep -E '^TOTAL|every disagreement' "$log"
else
  cat "$log"
  exit 1
fi
