// The command line of vexo-import.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vexo {

// Everything the command line can set; the defaults are those of a plain
// UTF-8 CSV file with a header row, written to standard output.
struct ImportOptions {
  std::string input;   // empty: standard input
  std::string output;  // empty: standard output
  char delimiter = ',';
  bool tsv = false;
  bool headerRow = true;
  std::string encoding = "UTF-8";
  // COLUMN=N pairs in the order given; empty: column k becomes field k.
  std::vector<std::pair<std::string, long>> fields;
  std::map<long, std::string> header;  // --header, over --header-file
  std::string headerFile;
  std::string breakOn;   // a column; empty: no sheet breaks
  std::string segments;  // one UTF-8 character; empty: cells stay whole
  bool help = false;
  bool version = false;
};

// Reads argv into options. Returns an empty string on success, else the
// error in a few words ("unknown option --x", ...).
std::string ReadImportOptions(int argc, char** argv, ImportOptions& options);

// A field number written in decimal, 0 or more; -1 when text is not one.
long ParseFieldNumber(const std::string& text);

extern const char kImportUsage[];

}  // namespace vexo
