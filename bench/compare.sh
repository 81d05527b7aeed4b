#!/usr/bin/env bash
# vexo against a Perl format report and awk '{print}', in one run.
#
#   bench/compare.sh <vexo binary> [records] [runs]
#
# Generates the price-list data once (ASCII, then with Cyrillic words mixed
# in), then for each data file times vexo with bench/price.1-.3, the same
# report in Perl (bench/price.pl) and awk '{print}' over the same input: a
# warm-up round, then `runs` timed rounds (default 5), each running the three
# in turn, so that a machine whose speed drifts slows all three alike. Prints
# input and output MB, the median seconds, MB/s of input, the peak RSS and
# the ratios. A last line gives vexo's peak RSS at ten times the records,
# which should equal the first.
set -euo pipefail

vexo=$(realpath "$1")
records=${2:-200000}
runs=${3:-5}
here=$(cd "$(dirname "$0")" && pwd)
# Data and reports live in memory where the machine offers it: on a disk,
# the write-back of one tool's report throttles the next tool's writes, and
# the figures would measure the disk.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then TMPDIR=/dev/shm; fi
scratch=$(mktemp -d "${TMPDIR:-/tmp}/vexo-bench-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# Seconds and peak RSS (KiB) of one run of the command that follows the
# first argument, its output going to the file the first argument names. The
# wall time comes from the clock in nanoseconds; /usr/bin/time gives the peak
# RSS. The last run's output is removed before the clock starts: freeing the
# pages of a report (20 ms for vexo's 89 MB in memory) is not the work of the
# run that replaces it, and the tool that writes the most would pay most.
timed() {
  local out=$1 start end
  shift
  rm -f "$out"
  start=$(date +%s%N)
  /usr/bin/time -f '%M' -o "$scratch/time" "$@" >"$out" 2>/dev/null
  end=$(date +%s%N)
  echo "$(( (end - start) / 1000 ))e-6 $(cat "$scratch/time")" | awk '{ printf "%.4f %d\n", $1, $2 }'
}

# The median seconds and the largest peak RSS of the lines "seconds rss" on
# standard input.
median() {
  sort -n | awk '{ s[NR] = $1; if ($2 > m) m = $2 } END { print s[int((NR + 1) / 2)], m }'
}

row() {  # name data seconds rss
  local in_mb out_mb
  in_mb=$(stat -c %s "$2" | awk '{ printf "%.1f", $1 / 1e6 }')
  out_mb=$(stat -c %s "$scratch/$1.out" | awk '{ printf "%.1f", $1 / 1e6 }')
  awk -v n="$1" -v i="$in_mb" -v o="$out_mb" -v s="$3" -v r="$4" \
    'BEGIN { printf "  %-6s %8s %8s %8.3f %8.1f %8.1f\n", n, i, o, s, (s > 0 ? i / s : 0), r / 1024 }'
}

for mix in ascii cyrillic; do
  data="$scratch/$mix.txt"
  if [ "$mix" = cyrillic ]; then flag=--cyrillic; else flag=; fi
  perl "$here/make_data.pl" "$records" $flag >"$data"
  echo "$mix, $records records:"
  printf '  %-6s %8s %8s %8s %8s %8s\n' tool "in MB" "out MB" "median s" "MB/s" "RSS MB"
  for ((k = 0; k <= runs; k++)); do
    for tool in vexo perl awk; do
      case $tool in
        vexo) run=("$vexo" "-B$here/price" "-I$data" -OCON) ;;
        perl) run=(perl "$here/price.pl" "$data") ;;
        awk) run=(awk '{print}' "$data") ;;
      esac
      result=$(timed "$scratch/$tool.out" "${run[@]}")
      if ((k > 0)); then echo "$result" >>"$scratch/$tool.times"; fi
    done
  done
  read -r vs vr < <(median <"$scratch/vexo.times"); row vexo "$data" "$vs" "$vr"
  read -r ps pr < <(median <"$scratch/perl.times"); row perl "$data" "$ps" "$pr"
  read -r as ar < <(median <"$scratch/awk.times"); row awk "$data" "$as" "$ar"
  awk -v v="$vs" -v p="$ps" -v a="$as" 'BEGIN {
    printf "  vexo : perl = %.1fx   vexo : awk = %.0f%%\n", p / v, 100 * a / v }'
  rm -f "$data" "$scratch"/*.times
done

big="$scratch/big.txt"
perl "$here/make_data.pl" $((records * 10)) >"$big"
read -r bs br < <(timed "$scratch/big.out" "$vexo" "-B$here/price" "-I$big" -OCON)
awk -v n=$((records * 10)) -v s="$bs" -v r="$br" \
  'BEGIN { printf "vexo at %d records: %.2f s, peak RSS %.1f MB\n", n, s, r / 1024 }'
