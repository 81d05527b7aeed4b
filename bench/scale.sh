#!/usr/bin/env bash
# What a report line costs as the blank and its values grow, in one run.
#
#   bench/scale.sh <vexo binary> [runs]
#
# Each case times vexo on a small and a large form of the same generated
# input (the median of `runs` runs, default 3, after a warm-up) and prints
# both and their ratio:
#  - declared fields: 100,000 records of two short fields, with the blank
#    declaring 2 record fields, then 10,000 (the others on lines that a jump
#    passes over); the cost of a line should not depend on it;
#  - one record: one record filling N fields, shown by a blank of N lines,
#    for N = 2,000 and 20,000; the cost should grow linearly;
#  - "@1": a line showing header field 1, 4 KB long, then 5 MB long; the
#    cost of one line is the time for 100,001 lines less that for one line,
#    over 100,000, and should be the same for both.
set -euo pipefail

vexo=$(realpath "$1")
runs=${2:-3}
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then TMPDIR=/dev/shm; fi
scratch=$(mktemp -d "${TMPDIR:-/tmp}/vexo-scale-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# The median wall seconds of vexo on blank $1 and data $2, the report thrown
# away.
seconds() {
  local k start end
  for ((k = 0; k <= runs; k++)); do
    start=$(date +%s%N)
    "$vexo" "-B$1" "-I$2" -OCON >/dev/null
    end=$(date +%s%N)
    if ((k > 0)); then echo $(((end - start) / 1000)); fi
  done | sort -n | awk '{ s[NR] = $1 } END { printf "%.3f", s[int((NR + 1) / 2)] / 1e6 }'
}

# case name, small label, small blank, small data, large label, large blank,
# large data
row() {
  local small large
  small=$(seconds "$3" "$4")
  large=$(seconds "$6" "$7")
  awk -v n="$1" -v a="$2" -v s="$small" -v b="$5" -v l="$large" 'BEGIN {
    printf "  %-16s %-10s %7.3f s   %-10s %7.3f s   ratio %.1f\n", n, a, s, b, l,
      (s > 0 ? l / s : 0) }'
}

# A blank whose parts 1 and 2 show record fields 1 and 2 and declare record
# fields 3 to $2 on lines that the jump passes over.
declared_blank() {
  perl -e '
    my $n = shift;
    print ">jump to 1\n";
    my $line = "";
    for my $k (3 .. $n) {
      $line .= "\$$k ";
      if (length($line) > 3900) { print "$line\n"; $line = ""; }
    }
    print "$line\n" if $line ne "";
    print ">1\n\$1 ..........?\n\$2 ..........?\n";
  ' "$2" >"$1.1"
  cp "$1.1" "$1.2"
}
declared_blank "$scratch/declared2" 2
declared_blank "$scratch/declared10000" 10000
perl -e 'print "&1;x\n"; print "\$1;$_\$2;v$_\@\n" for 1 .. 100000' >"$scratch/declared.txt"

# A blank of $2 lines, line k showing record field k, and one record filling
# every one of them.
record_case() {
  perl -e 'my $n = shift; print "\$$_ ...........?\n" for 1 .. $n' "$2" >"$1.1"
  perl -e 'my $n = shift; print "\$$_;value $_" for 1 .. $n; print "\@\n"' "$2" >"$1.txt"
}
record_case "$scratch/record2000" 2000
record_case "$scratch/record20000" 20000

# Blanks of one and of 100,001 lines of "@1", and header field 1 of $2
# characters.
perl -e 'print "\@1\n"' >"$scratch/header1.1"
perl -e 'print "\@1\n" x 100001' >"$scratch/header100001.1"
header_data() {
  perl -e 'my $n = shift; print "&1;", "word " x ($n / 5), "\n"' "$2" >"$1"
}
header_data "$scratch/header4k.txt" 4096
header_data "$scratch/header5m.txt" 5000000

# Microseconds per "@1" line over the header field of data file $1.
per_line() {
  local one many
  one=$(seconds "$scratch/header1" "$1")
  many=$(seconds "$scratch/header100001" "$1")
  awk -v o="$one" -v m="$many" 'BEGIN { printf "%.2f", (m - o) * 1e6 / 100000 }'
}

echo "scale, median of $runs:"
row "declared fields" "2" "$scratch/declared2" "$scratch/declared.txt" \
  "10000" "$scratch/declared10000" "$scratch/declared.txt"
row "one record" "2000" "$scratch/record2000" "$scratch/record2000.txt" \
  "20000" "$scratch/record20000" "$scratch/record20000.txt"
small=$(per_line "$scratch/header4k.txt")
large=$(per_line "$scratch/header5m.txt")
awk -v s="$small" -v l="$large" 'BEGIN {
  printf "  %-16s %-10s %7.2f us  %-10s %7.2f us  ratio %.1f\n", "@1 line", "4 KB", s,
    "5 MB", l, (s > 0 ? l / s : 0) }'
