// Entry point: command line into the run settings, then the report run.
#include <cstdio>
#include <cstring>

#include "state/Tbl.h"

namespace {

const char kUsage[] =
    "Usage: vexo -Bname -Ifile [-Ofile] [-Ffile] [-Pdir]\n"
    "Pours the records of a tagged data file into a blank and writes the report.\n"
    "Each value follows its letter directly; the letters may be written in either case.\n"
    "\n"
    "  -Bname  base name of the blank; its parts are name.1 (first sheet),\n"
    "          name.2 (following sheets), name.3 (closing lines)\n"
    "  -Ifile  the data file\n"
    "  -Ofile  the report; CON (the default) is standard output\n"
    "  -Ffile  begin-parameter file with header defaults, looked for in each\n"
    "          directory of -P\n"
    "  -Pdir   directory of the blank files (for -F: a ;-separated list)\n"
    "\n"
    "Exit status: 0 when the report ran to its end, 1 when it stopped on an error.\n"
    "See man vexo.\n";

const char kVersion[] =
    "vexo " VEXO_VERSION
    "\n"
    "Copyright (c) 2026 the vexo developers\n"
    "Licensed under the MIT licence: free to use, copy, modify and distribute; no warranty.\n";

// Writes text to standard output; 0 when all of it got out, else 1.
int Print(const char* text) {
  return std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  // --help and --version are answered only as the sole argument; anywhere
  // else they are arguments like any other that is not an option.
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) return Print(kUsage);
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) return Print(kVersion);
  Tbl::ReadCommandLine(argc, argv);
  Tbl table;
  return table.Execute();
}
