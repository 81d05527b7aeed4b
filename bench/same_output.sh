#!/usr/bin/env bash
# Whether two vexo binaries write the same bytes, for a change that must not
# change any output.
#
#   bench/same_output.sh <vexo A> <vexo B> [records]
#
# Runs both on every end-to-end case (its arguments, in a copy of its
# directory), on the example blanks with their data, and on the price list of
# the benchmark with `records` records (default 200000) of the ASCII and of
# the Cyrillic data. Compares the exit status, standard output and every file
# the run leaves; prints each difference and, last, how many runs differed.
set -uo pipefail

a=$(realpath "$1")
b=$(realpath "$2")
records=${3:-200000}
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then TMPDIR=/dev/shm; fi
scratch=$(mktemp -d "${TMPDIR:-/tmp}/vexo-same-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
runs=0
differ=0

# Runs binary $1 in a fresh copy of directory $2 with the arguments that
# follow, and leaves there what it wrote: stdout, the status and its files.
run_in_copy() {
  local binary=$1 from=$2 to=$3
  shift 3
  rm -rf "$to"
  mkdir -p "$to/work"
  cp -RL "$from"/. "$to/work"/ 2>/dev/null
  (cd "$to/work" && timeout 60 "$binary" "$@" >"$to/stdout" 2>"$to/stderr" </dev/null)
  echo $? >"$to/status"
}

# name, directory, arguments...
compare() {
  local name=$1 dir=$2
  shift 2
  run_in_copy "$a" "$dir" "$scratch/a" "$@"
  run_in_copy "$b" "$dir" "$scratch/b" "$@"
  runs=$((runs + 1))
  if ! diff -r -q "$scratch/a" "$scratch/b" >/dev/null; then
    differ=$((differ + 1))
    echo "DIFFERS $name"
    diff -r -q "$scratch/a" "$scratch/b" | head -n 5
  fi
}

for case_dir in "$root"/tests/e2e/cases/*/; do
  name=$(basename "$case_dir")
  # Cases that need a setup script (links, FIFOs) are left to the e2e suite.
  [ -f "$case_dir/setup" ] && continue
  args=()
  [ -f "$case_dir/args" ] && mapfile -t args <"$case_dir/args"
  compare "e2e/$name" "$case_dir" "${args[@]}"
done

for blank in "$root"/examples/*.1 "$root"/examples/guide/*/form.1; do
  dir=$(dirname "$blank")
  base=$(basename "$blank" .1)
  for data in "$dir"/*.txt; do
    compare "examples/$(basename "$dir")/$base/$(basename "$data")" "$dir" \
      "-B$base" "-I$(basename "$data")" -Fcompany.txt -OCON
  done
done

mkdir -p "$scratch/price" "$scratch/data"
cp "$here"/price.1 "$here"/price.2 "$here"/price.3 "$scratch/price"/
perl "$here/make_data.pl" "$records" >"$scratch/data/ascii.txt"
perl "$here/make_data.pl" "$records" --cyrillic >"$scratch/data/cyrillic.txt"
for mix in ascii cyrillic; do
  compare "price list, $records records, $mix" "$scratch/price" -Bprice \
    "-I$scratch/data/$mix.txt" -OCON
done

echo "$runs runs, $differ differ"
[ "$differ" = 0 ]
