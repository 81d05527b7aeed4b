#!/usr/bin/env bash
# vexo-import against vexo on the benchmark's records.
#
#   bench/import.sh <vexo-import binary> <vexo binary> [records] [runs]
#
# Writes the price-list records of make_data.pl as a CSV file (a header row
# naming the columns, the price list's header fields as options), then times
# converting it with vexo-import and printing the converted data with vexo
# and the blank bench/price.1-.3: a warm-up round, then `runs` timed rounds
# (default 5), each running both in turn. Prints the median seconds and MB/s
# of input of each, and checks that the conversion gives back the data file
# that the CSV was written from, byte for byte.
set -euo pipefail

importer=$(realpath "$1")
vexo=$(realpath "$2")
records=${3:-200000}
runs=${4:-5}
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then TMPDIR=/dev/shm; fi
scratch=$(mktemp -d "${TMPDIR:-/tmp}/vexo-import-bench-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# The records as CSV: every cell quoted, quotes doubled. The generated data
# holds no escapes, so the cells are the tagged values as they stand.
perl "$here/make_data.pl" "$records" >"$scratch/data.txt"
perl -ne 'next unless /^\$1;/; chomp; s/\@$//;
  my @cells = map { s/"/""/g; "\"$_\"" } (split /\$\d;/)[1..4];
  print join(",", @cells), "\r\n";
  BEGIN { print "Id,Name,Description,Price\r\n" }' "$scratch/data.txt" >"$scratch/price.csv"
header=(--header=1="Price list" --header=2=01.03.2024 --header=3=GBP)
cp "$here"/price.1 "$here"/price.2 "$here"/price.3 "$scratch"/

# The converted file is written as one line per field, the generated one as
# one line per record: compare the fields.
"$importer" "${header[@]}" -o "$scratch/import.txt" "$scratch/price.csv"
fields() { tr -d '\n' <"$1" | sed 's/\([&$][0-9]*;\|@\)/\n\1/g'; }
cmp <(fields "$scratch/data.txt") <(fields "$scratch/import.txt") ||
  { echo "vexo-import did not give back the benchmark's data" >&2; exit 1; }

seconds() {  # the wall time of the command, in seconds
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  awk -v ns=$((end - start)) 'BEGIN { printf "%.4f\n", ns / 1e9 }'
}
: >"$scratch/import.times"
: >"$scratch/vexo.times"
for ((k = 0; k <= runs; k++)); do
  a=$(seconds "$importer" "${header[@]}" -o "$scratch/import.txt" "$scratch/price.csv")
  b=$(cd "$scratch" && seconds "$vexo" -Bprice -Iimport.txt -O"$scratch/report.txt")
  if [ "$k" -gt 0 ]; then echo "$a" >>"$scratch/import.times"; echo "$b" >>"$scratch/vexo.times"; fi
done
median() { sort -n "$1" | awk '{ s[NR] = $1 } END { print s[int((NR + 1) / 2)] }'; }
echo "vexo-import and vexo, $records records, median of $runs runs:"
printf '  %-28s %8s %8s %8s\n' step "in MB" "median s" "MB/s"
for step in import vexo; do
  if [ "$step" = import ]; then input=price.csv name="vexo-import CSV to data"; else
    input=import.txt name="vexo prints the data"; fi
  awk -v n="$name" -v b="$(stat -c %s "$scratch/$input")" -v s="$(median "$scratch/$step.times")" \
    'BEGIN { printf "  %-28s %8.1f %8.3f %8.1f\n", n, b / 1e6, s, (s > 0 ? b / 1e6 / s : 0) }'
done
