#!/usr/bin/python3
"""Counts the tests of one stage of scripts/test-all.sh from what it left under
PREFIX: PREFIX*.xml (JUnit files of ctest --output-junit, or of GoogleTest's
--gtest_output=xml), else the "TARGET: ok: ..." and "TARGET: FAILED: ..." lines
of scripts/fuzz.sh in PREFIX.log; and PREFIX.failed, the names of failures no
file records (a program that crashed, a rig that did not start).
Prints "PASSED FAILED SKIPPED", then the failed names, one a line.

    test-counts.py PREFIX
"""
import glob
import re
import sys
import xml.etree.ElementTree as ElementTree

prefix = sys.argv[1]
passed, skipped, failed = 0, 0, []
files = sorted(glob.glob(glob.escape(prefix) + "*.xml"))
for path in files:
    try:
        cases = ElementTree.parse(path).getroot().iter("testcase")
    except ElementTree.ParseError:
        failed.append(f"{path} (unreadable)")
        continue
    for case in cases:
        name = case.get("name", "?")
        if case.get("classname") and case.get("classname") != name:  # GoogleTest: suite and test
            name = f"{case.get('classname')}.{name}"
        if case.find("failure") is not None or case.find("error") is not None or case.get("status") == "fail":
            failed.append(name)
        elif (case.find("skipped") is not None or case.get("status") in ("notrun", "disabled")
              or case.get("result") in ("skipped", "suppressed")):
            skipped += 1
        else:
            passed += 1
if not files:
    try:
        with open(prefix + ".log", errors="replace") as log:
            for line in log:
                match = re.match(r"^(\w+): (ok|FAILED): .*\(log .*\)$", line)
                if match and match[2] == "ok":
                    passed += 1
                elif match:
                    failed.append(match[1])
    except FileNotFoundError:
        pass
try:
    with open(prefix + ".failed") as more:
        failed += [line.strip() for line in more if line.strip()]
except FileNotFoundError:
    pass
print(passed, len(failed), skipped)
for name in failed:
    print(name)
