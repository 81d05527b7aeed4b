// The command line of vexo-import.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vexo {

// What becomes of the cells of a row beyond the header row's width.
enum class ExtraCells {
  kError,  // the row is an error
  kDrop,   // they are left out
  kKeep,   // they are written like the others
};

// Everything the command line can set; the defaults are those of a plain
// UTF-8 CSV file with a header row, written to standard output. Option
// values are UTF-8.
struct ImportOptions {
  std::string input;            // empty: standard input
  std::string output;           // empty: standard output
  std::string delimiter = ",";  // one character
  bool tsv = false;
  bool headerRow = true;
  std::string encoding = "UTF-8";
  // COLUMN=N pairs in the order given; empty: column k becomes field k.
  std::vector<std::pair<std::string, long>> fields;
  std::map<long, std::string> header;  // --header, over --header-file
  std::string headerFile;
  std::string breakOn;   // a column; empty: no sheet breaks
  std::string segments;  // one character; empty: cells stay whole
  ExtraCells extraCells = ExtraCells::kError;
  bool help = false;
  bool version = false;
};

// Reads argv into options through getopt_long, so options and the file may
// come in any order, values may be attached or separate, long names may be
// shortened while they stay unambiguous, and "--" ends the options. Returns
// an empty string on success, else the usage error in a few words, valid
// UTF-8 ("unknown option --x", "--encoding given twice", ...): an unknown
// option, a missing value or one that does not fit, a single-valued option
// given twice, an encoding that iconv does not know, a delimiter that is not
// a character of that encoding, more than one file. --help and --version end
// the reading at once.
std::string ReadImportOptions(int argc, char** argv, ImportOptions& options);

// A field number written in decimal, 0 or more; -1 when text is not one.
long ParseFieldNumber(const std::string& text);

extern const char kImportUsage[];

}  // namespace vexo
