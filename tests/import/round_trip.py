#!/usr/bin/env python3
"""Round trip: random tables through vexo-import and then vexo.

    round_trip.py <vexo-import binary> <vexo binary> [ROWS] [SEED]

Each run makes ROWS random rows (default 2000) of cells built from every
character the data format treats specially, writes them once as UTF-8 CSV,
once as CP1251 CSV and once as tab-separated text, and makes tab-separated
text of its own from pieces that hold backslashes of every kind (escapes,
backslashes that start none, at the ends of cells and rows), converts each with
vexo-import and prints it with vexo through a blank whose every line shows one
field alone in a wide column. Every printed value must equal its cell after
the documented changes: a line break (CR LF, LF, CR) or a tab becomes one
space, other control characters go, trailing spaces go.
"""
import csv
import io
import os
import random
import re
import subprocess
import sys
import tempfile

importer, vexo = sys.argv[1:3]
rows_per_run = int(sys.argv[3]) if len(sys.argv) > 3 else 2000
seed = int(sys.argv[4]) if len(sys.argv) > 4 else random.randrange(1 << 30)
COLUMNS = 5  # random cells; a last column holds the row number
PIECES = ["@", "$", "&", "\\", ">", ";", "7", "$1;", "&2;", "\\@", '"', '""', ",", "\t",
          "\r\n", "\n", "\r", " ", "   ", "\x01", "\x1f", "я", "Жук", "№", "😀", "a b", "?"]


def expected(cell):
    text = re.sub(r"\r\n|[\r\n\t]", " ", cell)
    return re.sub(r"[\x00-\x1f]", "", text).rstrip(" ")


# Raw tab-separated text: pieces without a tab or a line break, so a cell's
# text is its pieces' as they stand, read by the rule below.
RAW_PIECES = ["a", "t", "n", "r", "Жук", "@", "$1;", "&", ">", ";", '"', " ", "😀", "\\",
              "\\t", "\\n", "\\r", "\\\\", "\\q", "\\\\\\"]


def tsv_decoded(raw):
    """\\t \\n \\r and \\\\ are escapes; every other backslash stays."""
    escapes = {"t": "\t", "n": "\n", "r": "\r", "\\": "\\"}
    text, i = "", 0
    while i < len(raw):
        if raw[i] == "\\" and i + 1 < len(raw) and raw[i + 1] in escapes:
            text += escapes[raw[i + 1]]
            i += 2
        else:
            text += raw[i]
            i += 1
    return text


def tsv_cell(cell):
    return (cell.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")
            .replace("\r", "\\r"))


def table(rng, pieces):
    rows = []
    for number in range(rows_per_run):
        cells = ["".join(rng.choice(pieces) for _ in range(rng.randrange(8)))
                 for _ in range(COLUMNS)]
        rows.append(cells + [str(number + 1)])
    return rows


def run(name, data, args, rows, work):
    with open(os.path.join(work, "in"), "wb") as f:
        f.write(data)
    converted = subprocess.run([importer] + args + ["-o", "data.txt", "in"], cwd=work,
                               capture_output=True)
    if converted.returncode != 0:
        return ["%s: vexo-import failed: %s" % (name, converted.stderr.decode())]
    report = subprocess.run([vexo, "-Bform", "-Idata.txt", "-OCON"], cwd=work,
                            capture_output=True, timeout=60)
    lines = report.stdout.decode("utf-8").split("\n")
    values = [re.fullmatch(r"\[(.*)\]", line.rstrip(" ")) for line in lines[:-1]]
    got = [v.group(1).rstrip(" ") if v else "<%s>" % line for v, line in zip(values, lines)]
    want = [expected(cell) for row in rows for cell in row]
    if report.returncode != 0 or got != want:
        bad = next((i for i, (g, w) in enumerate(zip(got, want)) if g != w), min(len(got), len(want)))
        return ["%s: row %d field %d: printed %r, expected %r (%d lines for %d)" %
                (name, bad // (COLUMNS + 1) + 1, bad % (COLUMNS + 1) + 1,
                 got[bad] if bad < len(got) else None, want[bad] if bad < len(want) else None,
                 len(got), len(want))]
    return []


def main():
    rng = random.Random(seed)
    failures = []
    with tempfile.TemporaryDirectory() as work:
        line = "[$%d" + " " * 200 + "?]\n"
        blank = "".join(line % n for n in range(1, COLUMNS + 2))
        for part in ("form.1", "form.2"):
            with open(os.path.join(work, part), "w", encoding="utf-8") as f:
                f.write(blank)
        names = ["c%d" % n for n in range(1, COLUMNS + 2)]

        rows = table(rng, PIECES)
        out = io.StringIO(newline="")
        csv.writer(out, lineterminator="\r\n").writerows([names] + rows)
        failures += run("UTF-8 CSV", out.getvalue().encode("utf-8"), [], rows, work)

        rows = table(rng, [p for p in PIECES if p != "😀"])
        out = io.StringIO(newline="")
        # Every cell quoted: a CR in a cell is then safe with LF rows.
        csv.writer(out, delimiter=";", lineterminator="\n", quoting=csv.QUOTE_ALL).writerows(
            [names] + rows)
        failures += run("CP1251 CSV", out.getvalue().encode("cp1251"),
                        ["--encoding=CP1251", "--delimiter=;"], rows, work)

        rows = table(rng, PIECES)
        text = "".join("\t".join(tsv_cell(c) for c in row) + "\n" for row in [names] + rows)
        failures += run("TSV", text.encode("utf-8"), ["--tsv"], rows, work)

        raw = table(rng, RAW_PIECES)
        text = "\t".join(names) + "\n" + "".join(
            "\t".join(row) + rng.choice(["\n", "\r\n"]) for row in raw)
        rows = [[tsv_decoded(cell) for cell in row] for row in raw]
        failures += run("TSV with backslashes", text.encode("utf-8"), ["--tsv"], rows, work)
    print("seed %d: %d rows in each of 4 tables" % (seed, rows_per_run))
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


sys.exit(main())
