// Turns the rows of a table into the records of a data file: the header row,
// the choice of columns and their field numbers, sheet breaks when a column
// changes, and cells split into segments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/DataWriter.h"
#include "import/ImportOptions.h"
#include "import/TableReader.h"

namespace vexo {

// A RowSink that writes one record per row (the header row, when the options
// say there is one, names the columns and is no record). The columns that
// the options name are looked up when the first row has ended; a name or
// number that it does not have is an error, and so is a cell that is not
// valid UTF-8. After an error every further row is ignored; Error() tells
// what went wrong, and is empty while all is well.
class RecordMapper : public RowSink {
 public:
  RecordMapper(const ImportOptions& options, DataWriter& writer);

  void Cell(std::string_view text) override;
  void EndRow() override;

  const std::string& Error() const { return m_Error; }
  // Where the error stands: row and column, both from 1.
  long ErrorRow() const { return m_ErrorRow; }
  long ErrorColumn() const { return m_ErrorColumn; }

 private:
  struct Mapping {
    size_t column;  // from 0
    long field;
  };
  // The column, from 0, that text names in the first row; false when none.
  bool FindColumn(const std::string& text, size_t& column);
  void ResolveColumns();
  void WriteRecord();
  void WriteCell(long field, size_t column);
  void Fail(size_t column, std::string message);

  const ImportOptions& m_Options;
  DataWriter& m_Writer;
  std::vector<std::string> m_Cells;  // the cells of the current row, reused
  size_t m_Count = 0;                // how many of them the row has
  std::vector<std::string> m_Names;  // the header row
  std::vector<Mapping> m_Mappings;   // empty with m_AllColumns
  bool m_AllColumns = true;
  bool m_FirstRow = true;
  size_t m_BreakColumn = 0;
  bool m_BreakOn = false;
  bool m_HavePrevious = false;
  std::string m_Previous;  // the break column's value in the last record
  long m_Row = 1;          // the row being read
  std::string m_Error;
  long m_ErrorRow = 0;
  long m_ErrorColumn = 0;
};

}  // namespace vexo
