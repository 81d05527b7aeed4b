#!/usr/bin/env bash
# Line and branch coverage per source directory, from the profiles that a
# coverage build's test run left in <build>/profiles.
#
#   tests/coverage_summary.sh <coverage build directory>
set -euo pipefail
build=$1
llvm-profdata merge -sparse "$build"/profiles/*.profraw -o "$build/merged.profdata"
objects=()
while IFS= read -r binary; do objects+=(-object "$binary"); done < <(
  find "$build" -type f -perm -u+x \( -name '*_tests' -o -name vexo \) | sort)
# The first object is named on its own, the rest with -object.
first=${objects[1]}
llvm-cov report "$first" "${objects[@]:2}" -instr-profile="$build/merged.profdata" \
  -ignore-filename-regex='(_test\.cpp|test_[a-z_]+\.h|/usr/)' >"$build/coverage.txt"
root=$(cd "$(dirname "$0")/.." && pwd)
printf "%-10s %8s %8s %10s %8s\n" directory lines "line %" branches "branch %"
awk -v root="$root/" '
  $1 ~ /\.(cpp|h)$/ {
    file = $1; sub(root, "", file); dir = file; sub(/\/[^\/]*$/, "", dir)
    lines[dir] += $8; lmiss[dir] += $9; branches[dir] += $11; bmiss[dir] += $12
  }
  END {
    for (d in lines) {
      printf "%-10s %8d %7.1f%% %10d %7.1f%%\n", d, lines[d],
        lines[d] ? 100 * (lines[d] - lmiss[d]) / lines[d] : 100,
        branches[d], branches[d] ? 100 * (branches[d] - bmiss[d]) / branches[d] : 100
    }
  }' "$build/coverage.txt" | sort
echo "per file: $build/coverage.txt"
