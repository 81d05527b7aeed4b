// Reading the header fields of vexo-import's --header-file.
#pragma once

#include <map>
#include <string>

namespace vexo {

// Where a header file went wrong.
struct HeaderFileError {
  long line = 0;        // from 1; 0 when the file as a whole cannot be read
  long column = 0;      // from 1, in characters
  std::string message;  // empty when the file was read; valid UTF-8
};

// Reads the lines "N=TEXT" of the UTF-8 file name into fields (a later line
// for the same N wins). Empty lines are skipped, a byte-order mark and CR
// before LF are dropped. Stops at the first line that is not "N=TEXT" or not
// UTF-8, or when the file cannot be read, and says so in the result.
HeaderFileError ReadHeaderFile(const std::string& name, std::map<long, std::string>& fields);

}  // namespace vexo
