#!/usr/bin/env python3
"""Run the W3C XML conformance suite through `quillon xml-events` and account
for every disagreement.

Usage:
    report.py QUILLON SUITE_DIR [--harness XMLCONF_RUN_PY] [--jobs N]

QUILLON is the built command-line tool, SUITE_DIR the folder that holds
xmlconf.xml (the project carries the files it needs in tests/data/xmlconf).
The harness (xmlconf_run.py, by default the one beside this script)
selects the XML 1.0 tests that need no external entity and, with
--ascii-only, skips documents holding bytes of 0x80 and above: the reader
reads single bytes without any encoding conversion, so its verdict on such a
document says nothing about the text it encodes. The tool is run with
--ascii-only as well, so it refuses such a file even if one gets through.

Prints the harness's totals table, then every disagreement grouped by the
reader's grammar choice that explains it (docs/xml-conformance.md describes
each choice). Exits 1 when a disagreement has no explanation here (a reader
bug to fix, or a new choice to document), 2 when the suite cannot be run.
Standard library only.
"""

import argparse
import os
import subprocess
import sys
import tempfile
from collections import OrderedDict

# Each grammar choice of the reader, with the tests whose expected verdict it
# overturns. "accept" choices make the reader accept documents that are not
# well-formed; "reject" choices make it refuse well-formed ones.
CHOICES = OrderedDict([
    ("text-after-root", (
        "Text after the root element is not examined",
        ["not-wf-sa-036", "not-wf-sa-037", "not-wf-sa-040", "not-wf-sa-041", "not-wf-sa-042",
         "not-wf-sa-043", "not-wf-sa-044", "not-wf-sa-048", "not-wf-sa-110", "o-p01fail3",
         "ibm-not-wf-P01-ibm01n03.xml", "ibm-not-wf-P27-ibm27n01.xml", "ibm-not-wf-P39-ibm39n06.xml"])),
    ("end-tag-names", (
        "End-tag names are not compared with start-tag names",
        ["not-wf-sa-039", "not-wf-sa-049", "not-wf-sa-053", "o-p39fail2"])),
    ("duplicate-attributes", (
        "Duplicate attribute names are not detected",
        ["not-wf-sa-038", "o-p44fail5", "ibm-not-wf-P40-ibm40n05.xml", "ibm-not-wf-P44-ibm44n04.xml"])),
    ("unchecked-text", (
        "Character data and attribute values are not checked byte by byte",
        ["not-wf-sa-030", "not-wf-sa-033"])),
    ("char-ref-range", (
        "Character references are checked for form only, not range-checked",
        ["not-wf-sa-142", "not-wf-sa-143", "not-wf-sa-144", "not-wf-sa-145", "not-wf-sa-146",
         "o-p66fail5", "o-p66fail6",
         "ibm-not-wf-P66-ibm66n12.xml", "ibm-not-wf-P66-ibm66n13.xml", "ibm-not-wf-P66-ibm66n14.xml",
         "ibm-not-wf-P66-ibm66n15.xml",
         "hst-bh-001", "hst-bh-002", "hst-bh-003", "hst-bh-004"])),
    ("entities-unchecked", (
        "Entity references are not checked against declarations, and declared entities are never expanded",
        ["not-wf-sa-071", "not-wf-sa-072", "not-wf-sa-073", "not-wf-sa-075", "not-wf-sa-076",
         "not-wf-sa-077", "not-wf-sa-078", "not-wf-sa-079", "not-wf-sa-080", "not-wf-sa-083",
         "not-wf-sa-084", "not-wf-sa-103", "not-wf-sa-115", "not-wf-sa-116", "not-wf-sa-117",
         "not-wf-sa-119", "not-wf-sa-120", "not-wf-sa-180", "not-wf-sa-182",
         "ibm-not-wf-P41-ibm41n10.xml", "ibm-not-wf-P41-ibm41n11.xml", "ibm-not-wf-P41-ibm41n12.xml",
         "ibm-not-wf-P68-ibm68n04.xml", "ibm-not-wf-P68-ibm68n05.xml", "ibm-not-wf-P68-ibm68n07.xml",
         "ibm-not-wf-P68-ibm68n08.xml", "ibm-not-wf-P68-ibm68n09.xml", "ibm-not-wf-P68-ibm68n10.xml",
         "rmt-e3e-12"])),
    ("pe-in-entity-value", (
        "Parameter-entity references inside entity values are read for form only",
        ["not-wf-sa-160", "not-wf-sa-162", "ibm-not-wf-P29-ibm29n04.xml",
         "ibm-not-wf-P69-ibm69n06.xml", "ibm-not-wf-P69-ibm69n07.xml"])),
    ("mixed-separators", (
        "\"|\" and \",\" may be mixed within one content-model group",
        ["not-wf-sa-122", "not-wf-sa-132", "nwf-dtd01", "o-p47fail1", "ibm-not-wf-P50-ibm50n03.xml"])),
    ("empty-text", (
        "An empty text is read at once as a success (the text ends at its first NUL byte)",
        ["not-wf-sa-050", "o-p39fail3", "o-p03fail1"])),
    ("no-encoding", (
        "The encoding declaration is only reported; the input is read as single bytes",
        ["rmt-e2e-61"])),
    ("lt-in-entity-value", (
        "\"<\" inside an entity value is refused, as in an attribute value",
        ["valid-sa-024", "valid-sa-053", "valid-sa-085", "valid-sa-086", "valid-sa-087",
         "valid-sa-114", "v-pe03", "o-p43pass1", "o-p70pass1", "o-p72pass1", "o-p74pass1",
         "ibm-invalid-P76-ibm76i01.xml", "ibm-valid-P43-ibm43v01.xml", "rmt-e3e-13",
         "invalid-sa-140", "invalid-sa-141"])),
])


# The tests the harness selects from the 20130923 suite; fewer means that
# index files or documents are missing, and the check would pass on less.
EXPECTED_TESTS = 1225


def explanation_of(test_id):
    for key, (title, ids) in CHOICES.items():
        if test_id in ids:
            return key
    return None


def main(argv):
    ap = argparse.ArgumentParser(description="W3C XML conformance report for quillon xml-events")
    ap.add_argument("quillon", help="the built quillon tool")
    ap.add_argument("suite_dir", help="folder holding xmlconf.xml")
    ap.add_argument("--harness", help="xmlconf_run.py (default: the one beside this script)")
    ap.add_argument("--jobs", type=int, default=2, help="parallel runs (default 2)")
    a = ap.parse_args(argv)

    suite = os.path.abspath(a.suite_dir)
    harness = a.harness or os.path.join(os.path.dirname(os.path.abspath(__file__)), "xmlconf_run.py")
    quillon = os.path.abspath(a.quillon)
    for path, what in ((suite, "suite folder"), (harness, "harness"), (quillon, "quillon tool")):
        if not os.path.exists(path):
            sys.stderr.write("report.py: %s not found: %s\n" % (what, path))
            return 2

    with tempfile.TemporaryDirectory() as scratch:
        out = os.path.join(scratch, "disagreements.tsv")
        cmd = [sys.executable, harness, "--ascii-only", "-q", "-j", str(a.jobs), "--out", out, suite,
               "--", quillon, "xml-events", "--ascii-only"]
        run = subprocess.run(cmd, stdout=subprocess.PIPE, universal_newlines=True)
        sys.stdout.write(run.stdout)
        if run.returncode != 0 or not os.path.exists(out):
            sys.stderr.write("report.py: the harness failed (status %d)\n" % run.returncode)
            return 2
        total = [line.split()[1] for line in run.stdout.splitlines() if line.startswith("TOTAL ")]
        if total != [str(EXPECTED_TESTS)]:
            sys.stderr.write("report.py: ran %s of the suite's %d tests; files of the suite are missing from %s\n"
                             % (total[0] if total else "none", EXPECTED_TESTS, suite))
            return 2
        rows = []
        with open(out, encoding="utf-8") as f:
            for line in f:
                if line.startswith("#") or not line.strip():
                    continue
                fields = line.rstrip("\n").split("\t")
                rows.append({"id": fields[0], "type": fields[1], "expected": fields[2],
                             "got": fields[3], "path": fields[6]})

    groups = OrderedDict((key, []) for key in CHOICES)
    unexplained = []
    for row in rows:
        key = explanation_of(row["id"]) if row["got"] in ("accept", "reject") else None
        (groups[key] if key else unexplained).append(row)

    print()
    print("disagreements: %d, by the reader's grammar choice that explains them" % len(rows))
    for key, members in groups.items():
        if not members:
            continue
        title = CHOICES[key][0]
        print()
        print("%s (%d): %s" % (key, len(members), title))
        for row in members:
            print("  %-32s %-8s expected %s, got %s  %s"
                  % (row["id"], row["type"], row["expected"], row["got"], row["path"]))

    listed = set(i for _, ids in CHOICES.values() for i in ids)
    agreeing = sorted(listed - set(row["id"] for row in rows))
    if agreeing:
        print()
        print("listed as explained but now agreeing (update the list): %s" % " ".join(agreeing))
    if unexplained:
        print()
        print("UNEXPLAINED (%d): a reader bug to fix or a choice to document" % len(unexplained))
        for row in unexplained:
            print("  %-32s %-8s expected %s, got %s  %s"
                  % (row["id"], row["type"], row["expected"], row["got"], row["path"]))
        return 1
    print()
    print("every disagreement is explained")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
