#!/usr/bin/env python3
"""Runs vexo on random blanks and data files built from the pieces of their
languages (placeholders, commands, tags, escapes, bad bytes) and fails when a
run crashes, writes to standard error (a sanitizer report), ends with a status
other than 0 or 1, or does not end within 20 seconds. A failing case is kept
in the temporary directory for replay.

usage: random_inputs.py <vexo binary> <runs> <seed>
"""
import random
import shutil
import subprocess
import sys
import tempfile

TEXT_PIECES = ["$1", "$2", "$$1", "&1", "&&2", "$0", "&0", "@D", "@T", "@1", "@@2", "#", "##",
               "?", "=", ">", "  ", "\t", "A", "B", "x", "word ", "long,text;", "...", "@", "$",
               "&", "\\", "é", "\xff", "\x80", "\r", "\x01"]
COMMANDS = [">jump to 1", ">jump to 2 $1", ">jump to 1 $1^", ">jump to 2 &1", ">jump to 1 $0",
            ">jump to 9", ">repeat 2:3", ">repeat 1:1000", ">repeat 100:2", ">1", ">2", ">A=$1",
            ">B=&2", ">A=$2", ">x", ">", ">jump to 1 $3x", "> =$1"]
DATA_PIECES = ["$1;", "$2;", "&1;", "&2;", "@", "\n", ">", "\\", "\\\n", "text",
               "more words here, ok;", "\xff", "\x80", "é", "$0;", "$;", "&;",
               "$99999999999999999999999;", "\r\n", "  "]


def blank_part(rnd):
    lines = []
    for _ in range(rnd.randint(0, 12)):
        if rnd.random() < 0.35:
            lines.append(rnd.choice(COMMANDS))
        else:
            lines.append("".join(rnd.choice(TEXT_PIECES) for _ in range(rnd.randint(0, 10))))
    return "\n".join(lines) + ("\n" if rnd.random() < 0.8 else "")


def run_once(vexo, rnd, directory):
    for part in (1, 2, 3):
        if rnd.random() < 0.85:
            with open(f"{directory}/f.{part}", "wb") as f:
                f.write(blank_part(rnd).encode("utf-8"))
    data = "".join(rnd.choice(DATA_PIECES) for _ in range(rnd.randint(0, 60)))
    # Some data files are not UTF-8 at all.
    encoding = "latin-1" if rnd.random() < 0.3 else "utf-8"
    with open(f"{directory}/d.txt", "wb") as f:
        f.write(data.encode(encoding, "replace"))
    try:
        result = subprocess.run([vexo, "-Bf", "-Id.txt", "-Oout.txt"], cwd=directory,
                                capture_output=True, timeout=20)
    except subprocess.TimeoutExpired:
        return "hang"
    if result.returncode not in (0, 1) or result.stderr:
        return f"status {result.returncode}: {result.stderr[:500]!r}"
    return None


def main():
    vexo, runs, seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    rnd = random.Random(seed)
    failed = 0
    for run in range(runs):
        directory = tempfile.mkdtemp()
        problem = run_once(vexo, rnd, directory)
        if problem:
            failed += 1
            kept = f"{tempfile.gettempdir()}/vexo-random-{seed}-{run}"
            shutil.copytree(directory, kept)
            print(f"run {run}: {problem}; case kept in {kept}")
        shutil.rmtree(directory)
    print(f"{runs - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
