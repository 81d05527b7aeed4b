#!/usr/bin/env bash
# Checks the two Debian packages with lintian, installs them, tries what a
# user and a programmer get from them, and removes them again, whatever the
# outcome.
#
#   tests/package_check.sh <vexo.deb> <libvexo-dev.deb>
set -euo pipefail
runtime=$(realpath "$1")
development=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'dpkg -r libvexo-dev vexo >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT

lintian --fail-on error --tag-display-limit 0 "$runtime" "$development"
dpkg -i "$runtime" "$development" >/dev/null

# The programs: the invoice example, and a CSV file through vexo-import.
docs=/usr/share/doc/vexo
cp "$docs"/examples/invoice.1 "$docs"/examples/invoice.txt "$scratch"/
(cd "$scratch" && vexo -Binvoice -Iinvoice.txt -OCON) >"$scratch/report"
cmp "$scratch/report" "$here/e2e/cases/demo-invoice/expected.out"
case_dir=$here/import/cases/csv-quoting
vexo-import "$case_dir/input.csv" | cmp - "$case_dir/expected.data"
for program in vexo vexo-import; do
  readelf -S "/usr/bin/$program" | grep -q "\.symtab" && { echo "$program is not stripped" >&2; exit 1; }
  man -w "$program" | grep -q '\.1\.gz$'
done
test -f "$docs/guide.md" && test -f "$docs/copyright"

# The libraries: a program of another project finds them with find_package
# and writes a record with DataWriter.
mkdir "$scratch/consumer"
cat >"$scratch/consumer/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.16)
project(package_consumer LANGUAGES CXX)
set(CMAKE_CXX_STANDARD 17)
find_package(vexo REQUIRED COMPONENTS util threads data)
add_executable(package_consumer main.cpp)
target_link_libraries(package_consumer PRIVATE vexo::util vexo::threads vexo::data)
CMAKE
cat >"$scratch/consumer/main.cpp" <<'CPP'
#include <vexo/data/DataWriter.h>
#include <vexo/util/DBString.h>
#include <iostream>
int main() {
  vexo::DataWriter writer(std::cout);
  writer.Field(1, DBString(L"a@b").ToStr());
  writer.EndRecord();
}
CPP
cmake -S "$scratch/consumer" -B "$scratch/consumer/build" >/dev/null
cmake --build "$scratch/consumer/build" >/dev/null
test "$("$scratch/consumer/build/package_consumer")" = "$(printf '$1;a\\@b\n@')"
echo "packages: lintian found no error; installed, ran vexo and vexo-import," \
  "built a program against the libraries; removed"
