#!/usr/bin/env python3
"""Runs vexo and vexo-check on the same command lines: every end-to-end case
and every example run that the guide shows.

    both_programs.py agreement <vexo> <vexo-check> <source tree>
    both_programs.py examples  <vexo> <vexo-check> <source tree>

agreement: vexo-check refuses a blank part exactly when vexo does, naming the
same message. vexo stops at the first refused part 1 or 2; part 2 is loaded
only when a record overflows, so a part-2 refusal that vexo never met is no
disagreement. examples: vexo-check exits 0 with no warning on every example.
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

mode, vexo, checker, tree = sys.argv[1], *(os.path.abspath(p) for p in sys.argv[2:5])
CONTROL = {"args", "status", "expected.out", "expected.report", "report.name", "NOTES.md"}

# The Russian texts of the blank's load messages, which vexo prints.
texts = {}
stops = []  # vexo stops before it reads the blank
for line in open(os.path.join(tree, "messages/resource.txt"), encoding="utf-8"):
    m = re.match(r"(111(0[4-9]|10)) (.*)", line.rstrip("\n"))
    if m:
        texts[int(m.group(1))] = m.group(3)
    m = re.match(r"1111[34] (.*)", line.rstrip("\n"))
    if m:
        stops.append(re.escape(m.group(1)))


texts_stop = "^(%s)" % "|".join(stops)


def runs():
    cases = os.path.join(tree, "tests/e2e/cases")
    if mode == "agreement":
        for name in sorted(os.listdir(cases)):
            args = open(os.path.join(cases, name, "args")).read().splitlines()
            # vexo-check answers these itself, wherever they stand.
            if "--help" in args or "--version" in args:
                continue
            yield name, os.path.join(cases, name), args
    guide = open(os.path.join(tree, "docs/guide.md"), encoding="utf-8").read()
    for target in re.findall(r"<!-- output: (.*?) -->", guide):
        directory, *args = target.split()
        yield "examples/" + target, os.path.join(tree, "examples", directory), args


def run(program, directory, args):
    with tempfile.TemporaryDirectory() as scratch:
        work = os.path.join(scratch, "work")
        shutil.copytree(directory, work, symlinks=False)
        for name in CONTROL:
            if os.path.exists(os.path.join(work, name)):
                os.remove(os.path.join(work, name))
        return subprocess.run([program] + args, cwd=work, capture_output=True, timeout=60)


def vexo_refusals(stdout):
    found = []
    for line in stdout.decode("utf-8", "replace").splitlines():
        for number, text in texts.items():
            if line.startswith(text):
                found.append(number)
    return found


def checker_refusals(stdout):
    """The first refusal of each part, in part order."""
    first = {}
    for line in stdout.decode("utf-8").splitlines():
        d = json.loads(line)
        m = re.search(r"\(message (111\d\d)\)", d["message"])
        if d["severity"] == "error" and m and 11104 <= int(m.group(1)) <= 11110:
            part = d["file"].rsplit(".", 1)[-1]
            first.setdefault(part, int(m.group(1)))
    return sorted(first.items())


failures = []
count = 0
for name, directory, args in runs():
    count += 1
    checked = run(checker, directory, args + ["--json"])
    if mode == "examples":
        # Notes (what the run printed) are no alarm.
        alarms = [line for line in checked.stdout.decode().splitlines()
                  if json.loads(line)["severity"] != "note"]
        if checked.returncode != 0 or alarms:
            failures.append("%s: status %d\n%s" % (name, checked.returncode,
                                                   checked.stdout.decode()))
        continue
    ran = run(vexo, directory, args)
    said = set(vexo_refusals(ran.stdout))  # a refused part ends vexo's loading
    refused = checker_refusals(checked.stdout)
    if said:
        # The part vexo refused is the first one it loads with an error.
        loaded = [number for part, number in refused if part != "2" or number in said]
        if not loaded or {loaded[0]} != said:
            failures.append("%s: vexo refuses with %s, vexo-check says %s" %
                            (name, sorted(said), refused))
    elif not re.search(texts_stop, ran.stdout.decode("utf-8", "replace"), re.M):
        # vexo read the blank and refused nothing: only a part it never
        # loaded may be refused, part 2 without an overflow, or part 3 after
        # a run that stopped.
        allowed = {"2"} if ran.returncode == 0 else {"2", "3"}
        if any(part not in allowed for part, number in refused):
            failures.append("%s: vexo-check refuses %s, vexo does not" % (name, refused))
for failure in failures:
    print("FAIL", failure)
print("%d passed, %d failed" % (count - len(failures), len(failures)))
sys.exit(1 if failures else 0)
