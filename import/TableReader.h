// Splits UTF-8 text into rows of cells: CSV through libcsv, or tab-separated
// text with the backslash escapes of database clients.
#pragma once

#include <csv.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "import/LineCounter.h"

namespace vexo {

// Where the table reader stands while it hands a cell or the end of a row to
// its sink: the input's own lines and columns.
class TablePlace {
 public:
  // The first character of the cell just given (its opening quote, if any).
  virtual TextPosition CellStart() const = 0;
  // The first character of the current row.
  virtual TextPosition RowStart() const = 0;

 protected:
  ~TablePlace() = default;
};

// Receives the cells of each row in order, then the end of the row. Either
// call returns false to stop the reading; the sink then keeps its own error.
class RowSink {
 public:
  virtual ~RowSink() = default;
  virtual bool Cell(std::string_view text, const TablePlace& place) = 0;
  virtual bool EndRow(const TablePlace& place) = 0;
};

// CSV as RFC 4180 has it (quoted cells, doubled quotes, separators and line
// breaks inside quotes, rows ended by CR LF, LF or CR), or, with tsv set,
// cells ended by a tab, rows by LF or CR LF, and the escapes \t \n \r and
// \\ decoded; any other backslash stays, also one before a tab or a line
// end, which still ends the cell or the row. Blanks around cells are kept; empty
// lines are no rows. The CSV separator is delimiter, one UTF-8 character
// other than a quote or a line break. A cell of any size costs time in
// proportion to its size.
//
// Positions count the input's lines: LF, CR LF and (CSV only, where it ends
// a row) a lone CR each end one, also inside a quoted cell.
class TableReader : private TablePlace {
 public:
  TableReader(bool tsv, const std::string& delimiter, RowSink& sink);
  ~TableReader();
  TableReader(const TableReader&) = delete;
  TableReader& operator=(const TableReader&) = delete;

  // Reads the next piece of the text, which never ends inside a character.
  // False at a CSV syntax error, which Error() then describes at
  // ErrorPosition(), or when the sink stopped the reading (Error() empty).
  bool Feed(std::string_view text);
  // Ends the last row. False when a quoted cell is left open (ErrorPosition()
  // is its opening quote) or when the sink stopped the reading.
  bool Finish();

  const std::string& Error() const { return m_Error; }
  TextPosition ErrorPosition() const { return m_ErrorPosition; }
  // The position just past the text read so far.
  TextPosition End() const { return m_Lines.At(m_Lines.PieceEnd()); }

 private:
  TextPosition CellStart() const override;
  TextPosition RowStart() const override;

  static void OnCell(void* text, size_t length, void* reader);
  static void OnRow(int terminator, void* reader);
  bool FeedCsv(std::string_view text);
  void FeedTsv(std::string_view text);
  void StartTsvRow(uint64_t at);
  void EndTsvCell(uint64_t next);
  void EndTsvRow();
  // Moves the start of the next cell over the line breaks after a row.
  void SkipBreaks();
  // Keeps the positions of the open row and cell when they start in the
  // piece that is about to go.
  void KeepOpenPlaces();
  // The position of offset: looked up in the current piece, else the one
  // kept when its piece went.
  TextPosition Place(uint64_t offset, const TextPosition& kept) const;

  bool m_Tsv;
  RowSink& m_Sink;
  csv_parser m_Csv;
  std::string m_WideDelimiter;  // a separator of more than one byte
  std::string m_Narrowed;       // the piece with that separator as one byte
  std::string m_Widened;        // a cell with it back
  LineCounter m_Lines;
  std::string_view m_Text;  // the piece being read
  bool m_Stopped = false;
  std::string m_Error;
  TextPosition m_ErrorPosition;

  // Offsets in the whole text, and the positions kept for them.
  uint64_t m_CellStart = 0;  // where the current or next cell starts
  uint64_t m_RowStart = 0;   // where the current row starts
  TextPosition m_CellPosition;
  TextPosition m_RowPosition;
  bool m_CellQuoted = false;  // CSV: the kept cell starts with a quote
  bool m_AfterRow = true;     // CSV: line breaks before m_CellStart are skipped

  std::string m_Cell;       // tab-separated: the cell read so far
  bool m_RowOpen = false;   // tab-separated: a row has begun
  bool m_Escape = false;    // tab-separated: the last byte was a backslash
  bool m_Return = false;    // tab-separated: a CR waits for a LF
  uint64_t m_ReturnAt = 0;  // and where it stands
};

}  // namespace vexo
