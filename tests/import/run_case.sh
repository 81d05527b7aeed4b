#!/usr/bin/env bash
# Runs one vexo-import case and checks what it did, byte for byte.
#
#   run_case.sh <vexo-import> <vexo> <case directory>
#
# The case's files are copied into a scratch directory and vexo-import runs
# there with the arguments of "args" (one per line) and the umask 022. The
# other files of a case say how it runs and what must hold afterwards:
#   setup            shell commands run there first (links, modes, device
#                    nodes); when they exit with 77 the case is skipped;
#   stdin            the name of the file given as standard input (without
#                    it: /dev/null);
#   stdout           the name of a file that standard output is appended to
#                    (without it: a file of the harness's own);
#   status           the exit status (0 when the file is missing);
#   expected.data    the data file written: standard output, or, with -o
#                    FILE (in any spelling), the file FILE afterwards, read
#                    through links; without it standard output is empty;
#   expected.err     standard error; without it standard error is empty;
#   expected.report  what vexo prints for the data file with the case's
#                    blank "form";
#   expected.tree    the directory afterwards, an entry a line as find
#                    prints "%y %m %p %l" (type, mode, name, link target);
#                    without it: the files that were there, plus the -o file
#                    when expected.data is given, and nothing else;
#   (always)         every file that was there, except the one that -o
#                    names, holds what it held before.
set -u
importer=$(realpath "$1") vexo=$(realpath "$2") case_dir=$(realpath "$3")
name=$(basename "$case_dir")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
work=$scratch/work
mkdir "$work"
umask 022
cp -R "$case_dir"/. "$work"/
for f in args setup stdin stdout status expected.data expected.err expected.report \
  expected.tree NOTES.md; do rm -f "$work/$f"; done
if [ -f "$case_dir/setup" ]; then
  (cd "$work" && bash -e "$case_dir/setup") >"$scratch/setup.log" 2>&1
  setup=$?
  [ "$setup" = 77 ] && { echo "SKIP $name: $(cat "$scratch/setup.log")"; exit 77; }
  [ "$setup" = 0 ] || { echo "FAIL $name: setup failed"; cat "$scratch/setup.log"; exit 1; }
fi
mapfile -t args <"$case_dir/args"

# The file that -o names, as the program reads its options; "-" is
# standard output.
output=
for ((k = 0; k < ${#args[@]}; k++)); do
  case ${args[k]} in
    -o | --output) output=${args[k + 1]:-} ;;
    --output=*) output=${args[k]#--output=} ;;
    --) break ;;
    -o*) output=${args[k]#-o} ;;
  esac
done
[ "$output" = - ] && output=

listing() { (cd "$work" && find . -mindepth 1 -printf '%y %m %p %l\n' | sed 's/ $//' | LC_ALL=C sort); }
sums() {  # every regular file but the output's target, with its checksum
  local target=
  [ -n "$output" ] && target=$(cd "$work" && realpath -m -- "$output")
  (cd "$work" && find . -type f -print0 | LC_ALL=C sort -z | while IFS= read -r -d '' f; do
    [ "$(realpath -m -- "$f")" = "$target" ] || cksum "$f"
  done)
}
listing >"$scratch/before"
sums >"$scratch/sums.before"

stdin=/dev/null
[ -f "$case_dir/stdin" ] && stdin=$work/$(cat "$case_dir/stdin")
stdout=$scratch/out
[ -f "$case_dir/stdout" ] && stdout=$work/$(cat "$case_dir/stdout")
(cd "$work" && timeout 30 "$importer" "${args[@]}" >>"$stdout" 2>"$scratch/err" <"$stdin")
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
if [ -n "$output" ]; then
  data=$work/$output
  check "standard output" /dev/null "$scratch/out"
  [ -f "$case_dir/expected.data" ] && (cd "$work" && find ./"$output" -maxdepth 0 -printf '%y %m %p %l\n' |
    sed 's/ $//') >>"$scratch/before"
fi
errors=/dev/null
[ -f "$case_dir/expected.err" ] && errors=$case_dir/expected.err
check "standard error" "$errors" "$scratch/err"
if [ -f "$case_dir/expected.data" ]; then
  check "data file" "$case_dir/expected.data" "$data"
elif [ ! -f "$case_dir/stdout" ]; then
  check "standard output" /dev/null "$scratch/out"
fi
listing >"$scratch/after"
if [ -f "$case_dir/expected.tree" ]; then
  check "directory" "$case_dir/expected.tree" "$scratch/after"
else
  LC_ALL=C sort -u -o "$scratch/before" "$scratch/before"
  check "list of files" "$scratch/before" "$scratch/after"
fi
sums >"$scratch/sums.after"
check "files that were there" "$scratch/sums.before" "$scratch/sums.after"
if [ -f "$case_dir/expected.report" ]; then
  cp "$data" "$scratch/report-input" && cp "$case_dir"/form.* "$scratch"/
  (cd "$scratch" && "$vexo" -Bform -Ireport-input -OCON >"$scratch/report" 2>&1)
  check "report" "$case_dir/expected.report" "$scratch/report"
fi
[ "$failed" = 0 ] && echo "PASS $name"
exit "$failed"
