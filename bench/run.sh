#!/usr/bin/env bash
# Throughput and memory of a report run.
#
#   bench/run.sh <vexo binary> [records]     (default 200000 records)
#
# Generates a price-list data file of the given size, prints it through the
# example blank into a report file and shows wall time, records per second
# and peak resident memory. The same run on a data file ten times smaller
# follows: the two peaks should be about equal, because a run holds one
# record at a time and never the blank's text or the report.
set -euo pipefail

vexo=$(realpath "$1")
records=${2:-200000}
here=$(cd "$(dirname "$0")" && pwd)
examples=$here/../examples

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$examples"/pricelist.1 "$examples"/pricelist.2 "$examples"/pricelist.3 \
   "$examples"/company.txt "$scratch"/

# A header like the example's, then records whose descriptions vary in
# length so that about a third of them wrap onto a second line.
make_data() {
  awk -v n="$1" 'BEGIN {
    print "&1;Price list — benchmark"
    print "&2;01.03.2024"
    print "&3;GBP"
    split("Garden spade|Border fork, stainless steel head, ash handle|Hand trowel|" \
          "Pruning shears (bypass), 20 mm cutting capacity|Hose pipe, 25 m|" \
          "Seed tray set with clear propagator lids (5 trays)|Bamboo canes", d, "|")
    split("pc|pack|roll|set|kg", u, "|")
    for (i = 1; i <= n; i++)
      printf "$1;NW-%06d$2;%s$3;%s$4;%d.%02d@\n", i, d[i % 7 + 1], u[i % 5 + 1], i % 300, i % 100
  }'
}

# Runs vexo on data file $1 in the scratch directory; sets wall (seconds)
# and peak_kb (peak resident set size in KiB).
measure() {
  local data=$1 start end
  cd "$scratch"
  start=$(date +%s.%N)
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -v -o time.log "$vexo" -Bpricelist "-I$data" -Fcompany.txt -Oreport.txt >/dev/null
    peak_kb=$(awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }' time.log)
  else
    "$vexo" -Bpricelist "-I$data" -Fcompany.txt -Oreport.txt >/dev/null &
    local pid=$! hwm
    peak_kb=0
    while hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" 2>/dev/null) && [ -n "$hwm" ]; do
      peak_kb=$hwm
      sleep 0.05
    done
    wait "$pid"
  fi
  end=$(date +%s.%N)
  wall=$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')
}

small=$((records / 10))
make_data "$records" >"$scratch/large.txt"
make_data "$small" >"$scratch/small.txt"

measure large.txt
large_wall=$wall large_peak=$peak_kb
report_lines=$(wc -l <"$scratch/report.txt")
measure small.txt
small_wall=$wall small_peak=$peak_kb

awk -v n="$records" -v w="$large_wall" -v p="$large_peak" -v lines="$report_lines" \
    -v sn="$small" -v sw="$small_wall" -v sp="$small_peak" 'BEGIN {
  printf "records            %d (report: %d lines)\n", n, lines
  printf "wall time          %.2f s\n", w
  printf "records per second %.0f\n", (w > 0 ? n / w : 0)
  printf "peak RSS           %d KiB\n", p
  printf "peak RSS, %d records (10x fewer): %d KiB, %.2f s\n", sn, sp, sw
}'
