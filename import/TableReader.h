// Splits UTF-8 text into rows of cells: CSV through libcsv, or tab-separated
// text with the backslash escapes of database clients.
#pragma once

#include <csv.h>

#include <string>
#include <string_view>

namespace vexo {

// Receives the cells of each row in order, then the end of the row.
class RowSink {
 public:
  virtual ~RowSink() = default;
  virtual void Cell(std::string_view text) = 0;
  virtual void EndRow() = 0;
};

// CSV as RFC 4180 has it (quoted cells, doubled quotes, separators and line
// breaks inside quotes, rows ended by CR LF, LF or CR), or, with tsv set,
// cells ended by a tab, rows by LF or CR LF, and \t \n \r \\ decoded.
// Blanks around cells are kept; empty lines are no rows. Row() and Column()
// (both from 1) tell where the cell being read stands, for error messages.
class TableReader {
 public:
  TableReader(bool tsv, char delimiter, RowSink& sink);
  ~TableReader();
  TableReader(const TableReader&) = delete;
  TableReader& operator=(const TableReader&) = delete;

  // Reads the next piece of the text. False at a CSV syntax error, which
  // Error() then describes.
  bool Feed(std::string_view text);
  // Ends the last row. False when a quoted cell is left open.
  bool Finish();

  long Row() const { return m_Row; }
  long Column() const { return m_Column; }
  const std::string& Error() const { return m_Error; }

 private:
  static void OnCell(void* text, size_t length, void* reader);
  static void OnRow(int terminator, void* reader);
  void FeedTsv(std::string_view text);
  void EndTsvCell();

  bool m_Tsv;
  RowSink& m_Sink;
  csv_parser m_Csv;
  long m_Row = 1;
  long m_Column = 1;
  std::string m_Error;
  std::string m_Cell;     // tab-separated: the cell read so far
  bool m_Escape = false;  // tab-separated: the last byte was a backslash
  bool m_Return = false;  // tab-separated: a CR waits for a LF
};

}  // namespace vexo
