#!/usr/bin/env bash
# Runs one vexo-import case and checks what it wrote, byte for byte.
#
#   run_case.sh <vexo-import> <vexo> <case directory>
#
# The case's files are copied into a scratch directory and vexo-import runs
# there with the arguments of "args" (one per line). Checked afterwards:
#   status           the exit status (0 when the file is missing);
#   expected.data    standard output, the data file written (or, with -o,
#                    the file data.txt); without it standard output is empty;
#   expected.err     standard error; without it standard error is empty;
#   expected.report  when present, what vexo prints for data.txt (or standard
#                    output saved as data.txt) with the case's blank "form";
#   (always)         the files that were there, plus data.txt when the case
#                    writes it with -o, and nothing else.
set -u
importer=$1 vexo=$2 case_dir=$3
name=$(basename "$case_dir")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
work=$scratch/work
mkdir "$work"
cp -R "$case_dir"/. "$work"/
for f in args status expected.data expected.err expected.report NOTES.md; do rm -f "$work/$f"; done
mapfile -t args <"$case_dir/args"
(cd "$work" && find . | LC_ALL=C sort) >"$scratch/before"
(cd "$work" && timeout 30 "$importer" "${args[@]}" >"$scratch/out" 2>"$scratch/err" </dev/null)
status=$?

failed=0
fail() { echo "FAIL $name: $*"; failed=1; }
check() {  # what, expected file (or /dev/null), actual file
  cmp -s "$2" "$3" && return 0
  fail "$1 differs"
  diff -u --label "expected $1" --label "actual $1" <(cat -A "$2") <(cat -A "$3") | head -40
}

want=0
[ -f "$case_dir/status" ] && want=$(tr -d ' \n' <"$case_dir/status")
[ "$status" = "$want" ] || fail "exit status $status, expected $want"
data=$scratch/out
if printf '%s\n' "${args[@]}" | grep -qx -- -o; then
  data=$work/data.txt
  check "standard output" /dev/null "$scratch/out"
  [ -f "$case_dir/expected.data" ] && echo ./data.txt >>"$scratch/before"
fi
errors=/dev/null
[ -f "$case_dir/expected.err" ] && errors=$case_dir/expected.err
check "standard error" "$errors" "$scratch/err"
[ -f "$case_dir/expected.data" ] && check "data file" "$case_dir/expected.data" "$data"
(cd "$work" && find . | LC_ALL=C sort) >"$scratch/after"
LC_ALL=C sort -o "$scratch/before" "$scratch/before"
check "list of files" "$scratch/before" "$scratch/after"
if [ -f "$case_dir/expected.report" ]; then
  cp "$data" "$scratch/report-input" && cp "$case_dir"/form.* "$scratch"/
  (cd "$scratch" && "$vexo" -Bform -Ireport-input -OCON >"$scratch/report" 2>&1)
  check "report" "$case_dir/expected.report" "$scratch/report"
fi
[ "$failed" = 0 ] && echo "PASS $name"
exit "$failed"
