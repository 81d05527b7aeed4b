#!/usr/bin/env bash
# vexo-check's own output cannot be written: standard error or standard
# output on a full device, or a pipe whose reader has gone. Each run, for a
# blank with many problems, must end with status 2, never 0 or 1.
#
#   write_errors.sh <vexo-check binary>
set -u

checker=$(realpath "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
# Enough diagnostics to fill a stream's buffer: one unknown command a line,
# each refused with a message of some 200 bytes.
for ((k = 0; k < 2000; k++)); do echo ">x$k"; done >form.1
printf '$1;a@\n' >data.txt

failed=0
expect() {  # what status
  if [ "$2" != 2 ]; then
    echo "FAIL: $1: status $2, expected 2"
    failed=1
  fi
}
"$checker" -Bform -Idata.txt 2>/dev/full
expect "diagnostics to a full device" $?
"$checker" -Bform -Idata.txt --json >/dev/full
expect "JSON Lines to a full device" $?
"$checker" --version >/dev/full
expect "the version to a full device" $?
# A pipe whose reader is gone before the first write.
python3 -c '
import os, subprocess, sys
read, write = os.pipe()
os.close(read)
sys.exit(subprocess.run(sys.argv[1:], stdout=write).returncode)
' "$checker" -Bform -Idata.txt --json
expect "JSON Lines to a closed pipe" $?
"$checker" -Bform -Idata.txt 2>&-
expect "standard error closed" $?
[ "$failed" = 0 ] && echo "PASS every write error ends with status 2"
exit "$failed"
