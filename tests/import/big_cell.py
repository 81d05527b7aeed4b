#!/usr/bin/env python3
"""Cells of several megabytes, which must convert in time proportional to
their size in every build, the sanitizers' included (the ctest time-out is
the bound): a quoted CSV cell with doubled quotes and line breaks, an
unquoted one, and a tab-separated one with escapes.

    big_cell.py <vexo-import binary> [MEGABYTES]
"""
import os
import subprocess
import sys
import tempfile

importer = sys.argv[1]
size = int(sys.argv[2]) if len(sys.argv) > 2 else 8
repeat = size * (1 << 20) // 8


def convert(name, data, args, value):
    """The data file of one row with cells "x" and value, as the rules make it."""
    with tempfile.TemporaryDirectory() as work:
        path = os.path.join(work, "in")
        with open(path, "wb") as f:
            f.write(data)
        got = subprocess.run([importer] + args + [path], capture_output=True, timeout=300)
    want = b"$1;x\n$2;" + value + b"\n@\n"
    if got.returncode != 0 or got.stdout != want:
        print("FAIL %s: status %d, %d bytes written, %d expected: %r" %
              (name, got.returncode, len(got.stdout), len(want), got.stderr[:200]))
        return 1
    return 0


failures = 0
# "a""b" CR LF in quotes: a"b, the line break one blank in the data file.
failures += convert("quoted CSV", b'A,B\nx,"' + b'a""b\r\n' * repeat + b'end"\n', [],
                    b'a"b ' * repeat + b"end")
failures += convert("unquoted CSV", b"A,B\nx," + b"abcdefgh" * repeat + b"\n", [],
                    b"abcdefgh" * repeat)
# \t and \\ decoded: a tab (one blank in the data file) and a backslash,
# which the data file escapes.
failures += convert("TSV", b"A\tB\nx\t" + b"ab\\tcd\\\\" * repeat + b"\n", ["--tsv"],
                    b"ab cd\\\\" * repeat)
print("%s: cells of %d MB" % ("FAIL" if failures else "PASS", size))
sys.exit(1 if failures else 0)
