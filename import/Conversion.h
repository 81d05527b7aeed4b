// The conversion of one table: its bytes through the decoder, the table
// reader and the record mapper into a data file.
#pragma once

#include <ostream>
#include <string>

#include "data/DataWriter.h"
#include "import/ImportOptions.h"

namespace vexo {

// Reads the open file input (named name in messages) to its end and writes
// its records with writer, which writes to out. Returns true when the whole
// table was converted, after the warnings (rows without text, UTF-8 read in
// another encoding); false after the error message: the input cannot be
// read, holds a byte sequence that its encoding does not have, or its table
// or its rows are not as the options say. A write error on out stops the
// reading early with true; the caller, which writes out, reports it.
bool ConvertTable(const ImportOptions& options, int input, const std::string& name,
                  DataWriter& writer, const std::ostream& out);

}  // namespace vexo
