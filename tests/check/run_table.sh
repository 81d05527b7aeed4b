#!/usr/bin/env bash
# Runs one table of vexo-check cases: every directory under the table is a
# case, run in a scratch copy of itself.
#
#   run_table.sh <vexo-check binary> <table directory>
#
# A case holds its inputs (blank parts, data files) and:
#   args      the arguments, one per line; without it "-Bform", and
#             "-Idata.txt" when the case has a data.txt;
#   expected  exactly what vexo-check writes to standard error;
#   stdout    exactly what it writes to standard output (empty without it);
#   status    the exit status; without it 1 when expected holds an error, else 0.
set -u
checker=$(realpath "$1")
table=$2
failed=0
passed=0
for case_dir in "$table"/*/; do
  case_dir=${case_dir%/}
  name=$(basename "$table")/$(basename "$case_dir")
  scratch=$(mktemp -d)
  cp -R "$case_dir"/. "$scratch"/
  args=(-Bform)
  [ -f "$case_dir/data.txt" ] && args+=(-Idata.txt)
  [ -f "$case_dir/args" ] && mapfile -t args <"$case_dir/args"
  want_status=0
  grep -q ': error: ' "$case_dir/expected" && want_status=1
  [ -f "$case_dir/status" ] && want_status=$(tr -d ' \n' <"$case_dir/status")
  (cd "$scratch" && timeout 30 "$checker" "${args[@]}" >"$scratch/.stdout" 2>"$scratch/.stderr")
  status=$?
  ok=1
  if [ "$status" != "$want_status" ]; then
    echo "FAIL $name: exit status $status, expected $want_status"
    ok=0
  fi
  if ! cmp -s "$case_dir/expected" "$scratch/.stderr"; then
    echo "FAIL $name: standard error differs"
    diff -u --label expected --label actual "$case_dir/expected" "$scratch/.stderr" | head -40
    ok=0
  fi
  want_stdout=/dev/null
  [ -f "$case_dir/stdout" ] && want_stdout=$case_dir/stdout
  if ! cmp -s "$want_stdout" "$scratch/.stdout"; then
    echo "FAIL $name: standard output differs"
    diff -u --label expected --label actual "$want_stdout" "$scratch/.stdout" | head -40
    ok=0
  fi
  rm -rf "$scratch"
  if [ "$ok" = 1 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
