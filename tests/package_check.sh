#!/usr/bin/env bash
# Installs the Debian package given, checks what a user gets from it, and
# removes it again, whatever the outcome.
#
#   tests/package_check.sh <package.deb>
set -euo pipefail
deb=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'dpkg -r vexo >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT

dpkg -i "$deb" >/dev/null
cp /usr/share/doc/vexo/examples/invoice.1 /usr/share/doc/vexo/examples/invoice.txt "$scratch"/
(cd "$scratch" && /usr/bin/vexo -Binvoice -Iinvoice.txt -OCON) >"$scratch/report"
cmp "$scratch/report" "$here/e2e/cases/demo-invoice/expected.out"
man -w vexo >/dev/null
test -f /usr/share/doc/vexo/guide.md
# A stripped executable has no symbol table left.
if readelf -S /usr/bin/vexo | grep -q "\.symtab"; then echo "the installed vexo is not stripped" >&2; exit 1; fi
echo "package: installed, ran the invoice example, found the man page; removed"
