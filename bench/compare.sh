#!/usr/bin/env bash
# vexo against a Perl format report and awk '{print}', in one run.
#
#   bench/compare.sh <vexo binary> [records] [runs]
#
# Generates the price-list data once (ASCII, then with Cyrillic words mixed
# in), then for each data file times vexo with bench/price.1-.3, the same
# report in Perl (bench/price.pl) and awk '{print}' over the same input: a
# warm-up, then the median of `runs` timed runs (default 5). Prints input and
# output MB, the median seconds, MB/s of input, the peak RSS and the ratios.
# A last line gives vexo's peak RSS at ten times the records, which should
# equal the first.
set -euo pipefail

vexo=$(realpath "$1")
records=${2:-200000}
runs=${3:-5}
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/vexo-bench-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# Seconds and peak RSS (KiB) of one run of "$@", output to $scratch/out.
# The wall time comes from the clock in nanoseconds; /usr/bin/time gives the
# peak RSS.
timed() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f '%M' -o "$scratch/time" "$@" >"$scratch/out" 2>/dev/null
  end=$(date +%s%N)
  echo "$(( (end - start) / 1000 ))e-6 $(cat "$scratch/time")" | awk '{ printf "%.4f %d\n", $1, $2 }'
}

# Median seconds and the largest peak RSS over the runs of "$@"; the output
# of the last run stays in $scratch/out.
median_of() {
  "$@" >/dev/null 2>&1 || true
  local results=()
  for ((k = 0; k < runs; k++)); do results+=("$(timed "$@")"); done
  printf '%s\n' "${results[@]}" | sort -n | awk -v n="$runs" \
    '{ s[NR] = $1; if ($2 > m) m = $2 } END { print s[int((n + 1) / 2)], m }'
}


row() {  # name data seconds rss
  local in_mb out_mb
  in_mb=$(stat -c %s "$2" | awk '{ printf "%.1f", $1 / 1e6 }')
  out_mb=$(stat -c %s "$scratch/out" | awk '{ printf "%.1f", $1 / 1e6 }')
  awk -v n="$1" -v i="$in_mb" -v o="$out_mb" -v s="$3" -v r="$4" \
    'BEGIN { printf "  %-6s %8s %8s %8.3f %8.1f %8.1f\n", n, i, o, s, (s > 0 ? i / s : 0), r / 1024 }'
}

for mix in ascii cyrillic; do
  data="$scratch/$mix.txt"
  if [ "$mix" = cyrillic ]; then flag=--cyrillic; else flag=; fi
  perl "$here/make_data.pl" "$records" $flag >"$data"
  echo "$mix, $records records:"
  printf '  %-6s %8s %8s %8s %8s %8s\n' tool "in MB" "out MB" "median s" "MB/s" "RSS MB"
  vexo_run=("$vexo" "-B$here/price" "-I$data" -OCON)
  perl_run=(perl "$here/price.pl" "$data")
  awk_run=(awk '{print}' "$data")
  read -r vs vr < <(median_of "${vexo_run[@]}"); row vexo "$data" "$vs" "$vr"
  read -r ps pr < <(median_of "${perl_run[@]}"); row perl "$data" "$ps" "$pr"
  read -r as ar < <(median_of "${awk_run[@]}"); row awk "$data" "$as" "$ar"
  awk -v v="$vs" -v p="$ps" -v a="$as" 'BEGIN {
    printf "  vexo : perl = %.1fx   vexo : awk = %.0f%%\n", p / v, 100 * a / v }'
  rm -f "$data"
done

big="$scratch/big.txt"
perl "$here/make_data.pl" $((records * 10)) >"$big"
read -r bs br < <(timed "$vexo" "-B$here/price" "-I$big" -OCON)
awk -v n=$((records * 10)) -v s="$bs" -v r="$br" \
  'BEGIN { printf "vexo at %d records: %.2f s, peak RSS %.1f MB\n", n, s, r / 1024 }'
