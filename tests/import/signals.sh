#!/usr/bin/env bash
# A signal while vexo-import waits for more of its input (here from a FIFO):
# SIGINT, SIGTERM and SIGHUP end it as they end any program, status 128 and
# the signal's number, and leave neither a temporary file nor a changed
# output; SIGPIPE is ignored, and the run goes on to its end.
#
#   signals.sh <vexo-import>
set -u
importer=$(realpath "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
# With job control a background job keeps SIGINT; without it the shell
# would have it ignored.
set -m
failed=0
fail() { echo "FAIL $*"; failed=1; }
for signal in INT TERM HUP PIPE; do
  rm -f in.csv err
  printf 'old\n' >out.txt
  mkfifo in.csv
  "$importer" -o out.txt in.csv 2>err &
  pid=$!
  exec 3<>in.csv  # never blocks, whether or not the program opens the FIFO
  printf 'a,b\n1,2\n' >&3
  # The temporary file is made once the input is open.
  for ((k = 0; k < 200; k++)); do
    [ -n "$(find . -name '.out.txt.*')" ] && break
    sleep 0.05
  done
  kill -s "$signal" "$pid"
  [ "$signal" = PIPE ] && sleep 0.2  # a signal that would end it has time to
  exec 3>&-
  wait "$pid"
  status=$?
  files=$(find . -mindepth 1 | LC_ALL=C sort | tr '\n' ' ')
  [ "$files" = "./err ./in.csv ./out.txt " ] || fail "$signal: files afterwards: $files"
  if [ "$signal" = PIPE ]; then
    [ "$status" = 0 ] || fail "$signal: status $status, expected 0"
    [ "$(cat out.txt)" = "$(printf '$1;1\n$2;2\n@')" ] || fail "$signal: out.txt: $(cat out.txt)"
  else
    want=$((128 + $(kill -l "$signal")))
    [ "$status" = "$want" ] || fail "$signal: status $status, expected $want"
    [ "$(cat out.txt)" = old ] || fail "$signal: out.txt changed: $(cat out.txt)"
  fi
  [ -s err ] && fail "$signal: standard error: $(cat err)"
done
[ "$failed" = 0 ] && echo "PASS signals"
exit "$failed"
