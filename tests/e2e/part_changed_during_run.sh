#!/usr/bin/env bash
# Part 2 of the blank is truncated, then rewritten in place, while a
# 200,000-record report is being written: the report must come out whole, as
# from the part that was loaded.
#
#   part_changed_during_run.sh <vexo binary> <bench directory>
#
# The report goes to a pipe that is read slowly, so that vexo, held back by
# the full pipe, is inside its part-2 sheets when the part changes. The
# report is compared with the report of a run on an untouched copy of the
# blank.
set -u

vexo=$(realpath "$1")
bench=$(realpath "$2")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1

perl "$bench/make_data.pl" 200000 >data.txt
cp "$bench"/price.1 "$bench"/price.2 "$bench"/price.3 .
"$vexo" -Bprice -Idata.txt -Oexpected.txt
want=$?
[ "$want" = 0 ] || { echo "FAIL: the run on the untouched blank ended with $want"; exit 1; }

# Reads count blocks of 64 KiB from standard input onto standard output.
blocks() { dd bs=65536 count="$1" iflag=fullblock status=none; }

"$vexo" -Bprice -Idata.txt -OCON | {
  blocks 16
  : >price.2
  blocks 16
  printf '>jump to 9\nchanged\n>9\n' >price.2
  blocks 16
  cat
} >report.txt
status=${PIPESTATUS[0]}

failed=0
if [ "$status" != 0 ]; then
  echo "FAIL: vexo ended with status $status (a signal shows as 128 + its number)"
  failed=1
fi
if ! cmp -s expected.txt report.txt; then
  echo "FAIL: the report differs from the report of the untouched blank"
  cmp expected.txt report.txt | head -n 1
  failed=1
fi
[ "$failed" = 0 ] && echo "PASS part 2 changed during the run"
exit "$failed"
