// Entry point: command line into the run settings, then the report run.
#include <stdio.h>
#include <unistd.h>

#include "state/Tbl.h"

int main(int argc, char** argv) {
  // A report written to standard output ("CON") goes through stdio; when
  // that is a file or a pipe, a large buffer saves most of the system calls.
  // A terminal keeps its line buffering.
  if (!isatty(STDOUT_FILENO)) setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
  Tbl::ReadCommandLine(argc, argv);
  Tbl table;
  return table.Execute();
}
