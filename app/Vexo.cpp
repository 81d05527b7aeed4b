// Entry point: command line into the run settings, then the report run.
#include "state/Tbl.h"

int main(int argc, char** argv) {
  Tbl::ReadCommandLine(argc, argv);
  Tbl table;
  return table.Execute();
}
