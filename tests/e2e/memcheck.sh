#!/usr/bin/env bash
# Runs vexo under Valgrind's memcheck for run_case.sh (VEXO_WRAPPER). Any
# memory error or definite, indirect or possible leak goes to standard error
# and makes the exit status 125, so the case fails. memcheck.supp beside this
# script holds the C library's own reads that are not errors.
exec valgrind -q --error-exitcode=125 --leak-check=full \
  --errors-for-leak-kinds=definite,indirect,possible \
  --suppressions="$(dirname "$0")/memcheck.supp" "$@"
