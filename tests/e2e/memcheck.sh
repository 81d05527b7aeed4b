#!/usr/bin/env bash
# Runs vexo under Valgrind's memcheck for run_case.sh (VEXO_WRAPPER). Any
# memory error or definite, indirect or possible leak goes to standard error
# and makes the exit status 125, so the case fails.
exec valgrind -q --error-exitcode=125 --leak-check=full \
  --errors-for-leak-kinds=definite,indirect,possible "$@"
