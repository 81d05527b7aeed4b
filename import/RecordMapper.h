// Turns the rows of a table into the records of a data file: the header row,
// the choice of columns and their field numbers, rows of another width,
// sheet breaks when a column changes, and cells split into segments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/DataWriter.h"
#include "import/ImportOptions.h"
#include "import/TableReader.h"

namespace vexo {

// A RowSink that writes one record per row. The header row, when the options
// say there is one, names the columns, sets the width of the table and is no
// record. The columns that the options name are looked up when the first row
// has ended; a name or number that it does not have is an error at that row.
// A row shorter than the header has empty cells at its end; a row longer
// than the header is an error at its first extra cell, unless the options
// drop or keep the extra cells. A row with no text in any chosen cell (every
// byte a blank, a line break or a control character) writes no record; it
// is counted, and a sheet break it would have carried goes on the next
// record that is written. The cells are valid UTF-8, as the decoder
// delivers them.
class RecordMapper : public RowSink {
 public:
  RecordMapper(const ImportOptions& options, DataWriter& writer);

  bool Cell(std::string_view text, const TablePlace& place) override;
  bool EndRow(const TablePlace& place) override;

  // What stopped the mapping, and where; empty while all is well.
  const std::string& Error() const { return m_Error; }
  TextPosition ErrorPosition() const { return m_ErrorPosition; }

  // The rows that wrote no record for want of text, and where the first
  // of them starts.
  long EmptyRows() const { return m_EmptyRows; }
  TextPosition FirstEmptyRow() const { return m_FirstEmptyRow; }

 private:
  struct Mapping {
    size_t column;  // from 0
    long field;
  };
  // The column, from 0, that text names in the first row; false when none.
  bool FindColumn(const std::string& text, size_t& column) const;
  bool ResolveColumns(const TablePlace& place);
  bool HasText() const;
  void WriteRecord(const TablePlace& place);
  void WriteCell(long field, size_t column);
  bool Fail(TextPosition where, std::string message);

  const ImportOptions& m_Options;
  DataWriter& m_Writer;
  std::vector<std::string> m_Cells;  // the kept cells of the current row, reused
  size_t m_Count = 0;                // how many cells the row has
  size_t m_Kept = 0;                 // how many of them are in m_Cells
  size_t m_Width = 0;                // the header row's cells; 0: no header row
  TextPosition m_FirstExtra;         // where the row's first cell beyond m_Width starts
  std::vector<std::string> m_Names;  // the header row
  std::vector<Mapping> m_Mappings;   // empty with m_AllColumns
  bool m_AllColumns = true;
  bool m_FirstRow = true;
  size_t m_BreakColumn = 0;
  bool m_BreakOn = false;
  bool m_HavePrevious = false;
  bool m_BreakPending = false;  // the break column changed; no record carries it yet
  std::string m_Previous;       // the break column's value in the last row
  long m_EmptyRows = 0;
  TextPosition m_FirstEmptyRow;
  std::string m_Error;
  TextPosition m_ErrorPosition;
};

}  // namespace vexo
