#!/usr/bin/env bash
# The report goes to standard output, a pipe whose reader stops after one
# byte, with SIGPIPE ignored: the writes fail with EPIPE, and vexo must end
# with status 1 rather than 0.
#
#   closed_pipe.sh <vexo binary> <bench directory>
set -u

vexo=$(realpath "$1")
bench=$(realpath "$2")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# A report of several megabytes: far more than the pipe and the stream's
# buffer hold, so that writes reach the closed pipe.
perl "$bench/make_data.pl" 20000 >"$scratch/data.txt"

trap '' PIPE
"$vexo" "-B$bench/price" "-I$scratch/data.txt" -OCON 2>"$scratch/stderr" | head -c 1 >/dev/null
status=${PIPESTATUS[0]}

failed=0
if [ "$status" != 1 ]; then
  echo "FAIL: vexo ended with status $status, expected 1"
  failed=1
fi
if [ -s "$scratch/stderr" ]; then
  echo "FAIL: standard error should be empty"
  head -n 20 "$scratch/stderr"
  failed=1
fi
[ "$failed" = 0 ] && echo "PASS closed pipe under an ignored SIGPIPE"
exit "$failed"
