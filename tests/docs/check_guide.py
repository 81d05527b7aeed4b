#!/usr/bin/env python3
"""Checks that the guide shows the example files as they are and the output
that vexo and vexo-import print for them.

    check_guide.py [--checker=<vexo-check>] <vexo binary> <guide.md> <examples directory>
                   [<vexo-import>]

A fenced block right after "<!-- file: PATH -->" must hold exactly the
file PATH under the examples directory. A block right after
"<!-- output: DIR ARGS... -->" must be exactly what vexo writes to standard
output when it runs with ARGS in a scratch copy of DIR. A block right after
"<!-- import: DIR ARGS... > NAME -->" must be exactly what vexo-import writes
when it runs with ARGS in a scratch copy of DIR, and so must the file NAME in
DIR, which the guide's next steps read (without vexo-import these blocks are
skipped). A block right after "<!-- run: DIR > NAME -->" holds shell commands
(a database client piping into vexo-import, say): they must run with sh -e
in a scratch copy of DIR, the programs' directories first on PATH, without a
word on standard error, and write the file NAME exactly as it is in DIR
(skipped without vexo-import). A block right after "<!-- check: DIR
ARGS... -->" must be exactly what vexo-check writes to standard error there
(skipped without --checker). Every directory of examples/guide must be run by
some output, import, run or check block.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

checkers = [a[len("--checker="):] for a in sys.argv[1:] if a.startswith("--checker=")]
checker = os.path.abspath(checkers[0]) if checkers else None
argv = [a for a in sys.argv if not a.startswith("--checker=")]
vexo, guide, examples = (os.path.abspath(p) for p in argv[1:4])
importer = os.path.abspath(argv[4]) if len(argv) > 4 else None
text = open(guide, encoding="utf-8").read()
blocks = re.findall(r"<!-- (file|output|import|check|run): (.*?) -->\n```[^\n]*\n(.*?)```", text,
                    re.S)
failures = []
run_dirs = set()
for kind, target, shown in blocks:
    if kind == "file":
        with open(os.path.join(examples, target), encoding="utf-8") as f:
            if f.read() != shown:
                failures.append("file %s differs from the guide" % target)
        continue
    if kind == "run":
        directory, saved = target.split(" > ")
        run_dirs.add(os.path.normpath(directory))
        if not importer:
            continue
        with tempfile.TemporaryDirectory() as scratch:
            work = os.path.join(scratch, "work")
            shutil.copytree(os.path.join(examples, directory), work)
            os.remove(os.path.join(work, saved))
            path = os.pathsep.join([os.path.dirname(importer), os.path.dirname(vexo),
                                    os.environ.get("PATH", "")])
            got = subprocess.run(["sh", "-e", "-c", shown], cwd=work, capture_output=True,
                                 timeout=30, env=dict(os.environ, PATH=path))
            if got.returncode != 0 or got.stderr:
                failures.append("run in %s: exit %d, stderr %r" %
                                (directory, got.returncode, got.stderr))
            elif not os.path.exists(os.path.join(work, saved)):
                failures.append("run in %s wrote no %s" % (directory, saved))
            else:
                with open(os.path.join(work, saved), "rb") as made, \
                        open(os.path.join(examples, directory, saved), "rb") as kept:
                    if made.read() != kept.read():
                        failures.append("%s made in %s differs from the one kept there" %
                                        (saved, directory))
        continue
    if kind == "import":
        target, saved = target.split(" > ")
        with open(os.path.join(examples, target.split()[0], saved), encoding="utf-8") as f:
            if f.read() != shown:
                failures.append("%s differs from the guide" % saved)
        if not importer:
            continue
    directory, *args = target.split()
    run_dirs.add(os.path.normpath(directory))
    if kind == "check" and not checker:
        continue
    with tempfile.TemporaryDirectory() as scratch:
        work = os.path.join(scratch, "work")
        shutil.copytree(os.path.join(examples, directory), work)
        program = {"import": importer, "check": checker}.get(kind, vexo)
        got = subprocess.run([program] + args, cwd=work, capture_output=True, timeout=30)
    if kind == "check":
        if got.stderr.decode("utf-8") != shown:
            failures.append("vexo-check on %s differs from the guide:\n%s" %
                            (target, got.stderr.decode()))
        continue
    if got.returncode != 0 or got.stderr:
        failures.append("%s: exit %d, stderr %r" % (target, got.returncode, got.stderr))
    if got.stdout.decode("utf-8") != shown:
        failures.append("output of %s differs from the guide:\n%s" % (target, got.stdout.decode()))
for name in sorted(os.listdir(os.path.join(examples, "guide"))):
    if os.path.join("guide", name) not in run_dirs:
        failures.append("examples/guide/%s is not shown in the guide" % name)
print("%d blocks checked" % len(blocks))
for failure in failures:
    print("FAIL", failure)
sys.exit(1 if failures else 0)
