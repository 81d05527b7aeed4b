#!/usr/bin/env bash
# Runs one end-to-end case against the vexo binary and compares what it did
# with what the case expects, byte for byte.
#
#   run_case.sh <vexo binary> <case directory>
#
# The case's inputs are copied (symbolic links followed, so a case may link
# to files elsewhere in the tree) into a fresh scratch directory and vexo runs
# there (cwd = that directory) with the arguments of the file "args", one per
# line (an empty file means no argument at all). When the case has a file
# "setup", its shell commands run first in the scratch directory (links,
# directories, FIFOs with a writer in the background); whatever they leave
# running in the background is killed when the case ends. Checked afterwards:
#   status           the exit status;
#   expected.out     the exact bytes written to standard output;
#   expected.report  the exact bytes of the report file, whose name is
#                    report.txt or the one line of "report.name". Without
#                    expected.report no report file may appear;
#   (always)         no file other than the report appears or disappears in
#                    the scratch directory, every other file keeps its
#                    bytes, and nothing is written to standard error;
#                    vexo ends within 30 seconds and writes no file over
#                    64 MiB.
# In expected.out and expected.report the tokens {{DATE}} and {{DATETIME}}
# stand for the local date ("%d.%m.%Y") and date and time ("%d.%m.%Y %H:%M")
# of the run; the values taken just before and just after the run are both
# tried, so a run across midnight or a minute boundary still compares.
set -u

vexo=$(realpath "$1")
case_dir=$(realpath "$2")
name=$(basename "$case_dir")
control=(args status expected.out expected.report report.name NOTES.md setup)

scratch=$(mktemp -d)
# Background jobs of the setup (a FIFO's writer that nobody read) go too.
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$scratch"' EXIT
work=$scratch/work
mkdir "$work"
cp -RL "$case_dir"/. "$work"/
for f in "${control[@]}"; do rm -f "$work/$f"; done

args=()
[ -f "$case_dir/args" ] && mapfile -t args <"$case_dir/args"
report=report.txt
[ -f "$case_dir/report.name" ] && report=$(head -n1 "$case_dir/report.name")

if [ -f "$case_dir/setup" ]; then
  cd "$work" || exit 1
  # shellcheck disable=SC1091
  . "$case_dir/setup"
  cd - >/dev/null || exit 1
fi

listing() { (cd "$work" && find . -mindepth 1 | LC_ALL=C sort); }
# The bytes of every regular file, the report's excepted when one is expected.
skip=()
[ -f "$case_dir/expected.report" ] && skip=(! -path "./$report")
contents() {
  (cd "$work" && find . -type f ${skip[@]+"${skip[@]}"} -exec cksum {} + | LC_ALL=C sort -k3)
}
listing >"$scratch/files.before"
contents >"$scratch/contents.before"

date0=$(date +%d.%m.%Y); datetime0=$(date '+%d.%m.%Y %H:%M')
# VEXO_WRAPPER, when set, is a command that runs vexo (memcheck.sh). No file
# may grow past 64 MiB: a run that prints for ever fails at once instead of
# filling the disk for 30 seconds.
runner=()
[ -n "${VEXO_WRAPPER:-}" ] && runner=("$VEXO_WRAPPER")
(cd "$work" && ulimit -f 65536 && timeout 30 "${runner[@]}" "$vexo" "${args[@]}" \
  >"$scratch/stdout" 2>"$scratch/stderr" </dev/null)
status=$?
date1=$(date +%d.%m.%Y); datetime1=$(date '+%d.%m.%Y %H:%M')

failed=0
fail() { echo "FAIL $name: $*"; failed=1; }

# Shows both sides with line ends ($) and tabs (^I) visible.
show_diff() {
  diff -u --label "expected $1" --label "actual $1" \
    <(cat -ET "$2") <(cat -ET "$3") | head -n 80
}

# Compares actual file $3 with expected file $2 after token substitution.
compare() {
  local what=$1 expected=$2 actual=$3 stamp
  for stamp in "$date1|$datetime1" "$date0|$datetime0"; do
    sed -e "s|{{DATE}}|${stamp%%|*}|g" -e "s|{{DATETIME}}|${stamp#*|}|g" \
      "$expected" >"$scratch/expected"
    cmp -s "$scratch/expected" "$actual" && return 0
  done
  fail "$what differs"
  show_diff "$what" "$scratch/expected" "$actual"
}

[ "$status" = 124 ] && fail "vexo did not finish within 30 seconds"
want_status=$(tr -d ' \n' <"$case_dir/status")
[ "$status" = "$want_status" ] || fail "exit status $status, expected $want_status"

if [ -f "$case_dir/expected.out" ]; then
  compare "standard output" "$case_dir/expected.out" "$scratch/stdout"
elif [ -s "$scratch/stdout" ]; then
  fail "standard output should be empty"
  show_diff "standard output" /dev/null "$scratch/stdout"
fi

if [ -s "$scratch/stderr" ]; then
  fail "standard error should be empty"
  head -n 40 "$scratch/stderr"
fi

# Only the report may be new: anything else created or removed is a fault.
listing >"$scratch/files.after"
cp "$scratch/files.before" "$scratch/files.expected"
if [ -f "$case_dir/expected.report" ]; then
  echo "./$report" >>"$scratch/files.expected"
  LC_ALL=C sort -o "$scratch/files.expected" "$scratch/files.expected"
fi
if ! cmp -s "$scratch/files.expected" "$scratch/files.after"; then
  fail "the files in the working directory are not as expected"
  diff -u --label expected --label actual "$scratch/files.expected" "$scratch/files.after"
fi
contents >"$scratch/contents.after"
if ! cmp -s "$scratch/contents.before" "$scratch/contents.after"; then
  fail "files other than the report changed"
  diff -u --label before --label after "$scratch/contents.before" "$scratch/contents.after"
fi
if [ -f "$case_dir/expected.report" ] && [ -f "$work/$report" ]; then
  compare "report $report" "$case_dir/expected.report" "$work/$report"
fi

[ "$failed" = 0 ] && echo "PASS $name"
exit "$failed"
