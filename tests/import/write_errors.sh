#!/usr/bin/env bash
# Writes that fail, and writes in place:
# - a file-size limit stops the write of the temporary file: status 1 with
#   the reason, the old output as it was, no temporary file left;
# - standard output closed by its reader: status 1 with the reason, also
#   while the input has no end;
# - a FIFO named by -o is written in place and stays a FIFO, and so is a
#   pipe reached through /dev/stdout.
#
#   write_errors.sh <vexo-import>
set -u
importer=$(realpath "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
failed=0
fail() { echo "FAIL $*"; failed=1; }
# About 2 MB of data file, far more than a pipe holds.
{
  echo 'Name,Note'
  for ((k = 0; k < 40000; k++)); do echo "item $k,some text to fill the line $k"; done
} >big.csv

printf 'old\n' >out.txt
(ulimit -f 64 && "$importer" -o out.txt big.csv) 2>err
status=$?
[ "$status" = 1 ] || fail "file-size limit: status $status, expected 1"
[ "$(cat err)" = "out.txt: error: cannot write: File too large; the file is left as it was" ] ||
  fail "file-size limit: standard error: $(cat err)"
[ "$(cat out.txt)" = old ] || fail "file-size limit: out.txt changed"
[ -z "$(find . -name '.out.txt.*')" ] || fail "file-size limit: a temporary file is left"

"$importer" big.csv 2>err | head -c 10 >/dev/null
status=${PIPESTATUS[0]}
[ "$status" = 1 ] || fail "closed pipe: status $status, expected 1"
[ "$(cat err)" = "<stdout>: error: cannot write: Broken pipe" ] ||
  fail "closed pipe: standard error: $(cat err)"

yes 'x,y' | timeout 20 "$importer" 2>err | head -c 10 >/dev/null
status=${PIPESTATUS[1]}
[ "$status" = 1 ] || fail "closed pipe, endless input: status $status, expected 1"
[ "$(cat err)" = "<stdout>: error: cannot write: Broken pipe" ] ||
  fail "closed pipe, endless input: standard error: $(cat err)"

mkfifo out.fifo
timeout 20 cat out.fifo >got &
reader=$!
printf 'A\nx\n' | "$importer" -o out.fifo 2>err
status=$?
wait "$reader"
[ "$status" = 0 ] || fail "FIFO: status $status, expected 0 ($(cat err))"
[ "$(cat got)" = "$(printf '$1;x\n@')" ] || fail "FIFO: the reader got: $(cat got)"
[ -p out.fifo ] || fail "FIFO: out.fifo is no longer a FIFO"

printf 'A\ny\n' | "$importer" -o /dev/stdout 2>err | cat >got
status=${PIPESTATUS[1]}
[ "$status" = 0 ] || fail "/dev/stdout: status $status, expected 0 ($(cat err))"
[ "$(cat got)" = "$(printf '$1;y\n@')" ] || fail "/dev/stdout: the pipe got: $(cat got)"

[ "$failed" = 0 ] && echo "PASS write errors"
exit "$failed"
