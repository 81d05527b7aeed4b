// Entry point: command line into the run settings, then the report run.
#include <stdio.h>
#include <unistd.h>

#include "state/Tbl.h"

int main(int argc, char** argv) {
  // A report written to standard output ("CON") goes through stdio; when
  // that is a file or a pipe, a large buffer saves most of the system calls.
  // A terminal keeps its line buffering. stdio takes the size only together
  // with the buffer, which must outlive the flush at exit.
  static char buffer[1 << 16];
  if (!isatty(STDOUT_FILENO)) setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  Tbl::ReadCommandLine(argc, argv);
  Tbl table;
  return table.Execute();
}
