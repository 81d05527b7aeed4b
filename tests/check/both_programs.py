#!/usr/bin/env python3
"""Runs vexo and vexo-check on the same command lines.

    both_programs.py agreement <vexo> <vexo-check> <source tree>
    both_programs.py examples  <vexo> <vexo-check> <source tree>

agreement: over every end-to-end case, every example run that the guide
shows and a few hundred generated blank/data pairs, a run that vexo ends
with status 1 is never one that vexo-check passes (status 0). On the
end-to-end cases vexo-check also refuses a blank part exactly when vexo
does, naming the same message: vexo stops at the first refused part 1 or 2,
and part 2 is loaded only when a record overflows, so a part-2 refusal that
vexo never met is no disagreement.

examples: vexo-check exits 0 with no warning on every example.
"""
import json
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

mode, vexo, checker, tree = sys.argv[1], *(os.path.abspath(p) for p in sys.argv[2:5])
CONTROL = {"args", "status", "expected.out", "expected.report", "report.name", "NOTES.md"}
PAIRS = 300

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


def cases():
    """Every end-to-end case (for agreement) and every example the guide runs."""
    root = os.path.join(tree, "tests/e2e/cases")
    for name in sorted(os.listdir(root)) if mode == "agreement" else []:
        args = open(os.path.join(root, name, "args")).read().splitlines()
        # vexo-check answers these itself, wherever they stand.
        if "--help" in args or "--version" in args:
            continue
        yield name, os.path.join(root, name), args
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


# Generated pairs: blanks and data drawn from the pieces below, mistakes
# among them, each written into a directory of its own with its arguments.
TEXT_LINES = ["Title", "$1 ?", "$1      ?$2     ?", "&1=        ?", "Page #", "@D $2 ?",
              "Name: $2", "x$3>   ?", "@@1 and $1 ?", "A  A", "mail@Tandem", "&2 ?$1 ?"]
COMMANDS = [">1", ">2", ">jump to 1", ">jump to 2 $1", ">jump to 1 $1^", ">jump to 2 &1",
            ">repeat 1:3", ">repeat 2:2", ">A=$4", ">B=&3"]
MISTAKES = [">x", ">repeat 0:1", ">jump to 9", ">jump to 1 #1", ">A=$1", "caf\xe9", "\xed\xa0\x80"]
VALUES = ["Spade", "Border fork", "a much longer value, with words", "", "ann@example.com",
          "\\@", "x$2:300", "\u041b\u043e\u043f\u0430\u0442\u0430", "Caf\xe9", "\\\\"]


def blank_part(rng):
    lines = []
    for _ in range(rng.randint(1, 7)):
        pick = rng.random()
        if pick < 0.6:
            lines.append(rng.choice(TEXT_LINES))
        elif pick < 0.96:
            lines.append(rng.choice(COMMANDS))
        else:
            lines.append(rng.choice(MISTAKES))
    # Most jumps find their label somewhere in the part.
    for label in ("1", "2"):
        jumps = any(line.startswith(">jump to " + label) for line in lines)
        if jumps and (">" + label) not in lines and rng.random() < 0.9:
            lines.insert(rng.randint(0, len(lines)), ">" + label)
    return lines


def encode(text, rng):
    """UTF-8 mostly; now and then Latin-1, or bytes vexo cannot read."""
    if rng.random() < 0.08:
        return text.encode("latin-1", "replace")
    data = text.encode("utf-8", "surrogatepass")
    if rng.random() < 0.04:
        data += rng.choice([b"\xff", b"\xc3", b"\x80", b"\xc0\xa4"])
    return data


def data_file(rng):
    out = ["&1;Price list", "&2;Spring"][: rng.randint(0, 2)]
    for _ in range(rng.randint(0, 12)):
        record = ">" if rng.random() < 0.15 else ""
        for _ in range(rng.randint(0, 3)):
            record += "$%d;%s" % (rng.randint(1, 4), rng.choice(VALUES))
        out.append(record + ("@" if rng.random() < 0.95 else ""))
    return "\n".join(out) + "\n"


def generated(scratch):
    rng = random.Random(25)
    for k in range(PAIRS):
        directory = os.path.join(scratch, "pair%03d" % k)
        os.mkdir(directory)
        for part in (1, 2, 3):
            if part == 1 or rng.random() < 0.7:
                with open(os.path.join(directory, "form.%d" % part), "wb") as f:
                    f.write(encode("\n".join(blank_part(rng)) + "\n", rng))
        with open(os.path.join(directory, "data.txt"), "wb") as f:
            f.write(encode(data_file(rng), rng))
        with open(os.path.join(directory, "p.txt"), "wb") as f:
            f.write(encode("&3;Company\n&1;Other\n", rng))
        args = ["-Bform", "-Idata.txt", "-Oreport.txt"]
        pick = rng.random()
        if pick < 0.05:
            args[2] = "-Odata.txt"
        elif pick < 0.1:
            args[1:2] = ["-I", "data.txt"]
        elif pick < 0.15:
            args.append("-Fp.txt")
        elif pick < 0.2:
            args[1] = "-Imissing.txt"
        elif pick < 0.25:
            args[2] = "-Onowhere/report.txt"
        yield "pair%03d" % k, directory, args


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


def vexo_refusals(stdout):
    found = []
    for line in stdout.decode("utf-8", "replace").splitlines():
        for number, text in texts.items():
            if line.startswith(text):
                found.append(number)
    return found


def same_refusals(name, ran, checked):
    said = set(vexo_refusals(ran.stdout))  # a refused part ends vexo's loading
    refused = checker_refusals(checked.stdout)
    if said:
        # The part vexo refused is the first one it loads with an error.
        loaded = [number for part, number in refused if part != "2" or number in said]
        if not loaded or {loaded[0]} != said:
            return "%s: vexo refuses with %s, vexo-check says %s" % (name, sorted(said), refused)
    elif not re.search(texts_stop, ran.stdout.decode("utf-8", "replace"), re.M):
        # vexo read the blank and refused nothing: only a part it never
        # loaded may be refused, part 2 without an overflow, or part 3 after
        # a run that stopped.
        allowed = {"2"} if ran.returncode == 0 else {"2", "3"}
        if any(part not in allowed for part, number in refused):
            return "%s: vexo-check refuses %s, vexo does not" % (name, refused)
    return None


failures = []
count = 0
stopped = 0  # runs that vexo ends with status 1
with tempfile.TemporaryDirectory() as pairs:
    runs = list(cases()) + (list(generated(pairs)) if mode == "agreement" else [])
    for name, directory, args in runs:
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
        for line in checked.stdout.decode("utf-8").splitlines():
            json.loads(line)  # every line is JSON, whatever the input
        ran = run(vexo, directory, args)
        stopped += ran.returncode == 1
        if ran.returncode == 1 and checked.returncode == 0:
            failures.append("%s: vexo ends with status 1, vexo-check passes\n%s" %
                            (name, ran.stdout.decode("utf-8", "replace")[-400:]))
        if not name.startswith("pair"):
            problem = same_refusals(name, ran, checked)
            if problem:
                failures.append(problem)
for failure in failures:
    print("FAIL", failure)
print("%d passed, %d failed (vexo ends %d of them with status 1)" %
      (count - len(failures), len(failures), stopped))
sys.exit(1 if failures else 0)
