#include "import/TableReader.h"

#include <algorithm>
#include <cstring>

#include "data/Utf8.h"
#include "import/Printable.h"

namespace vexo {

namespace {

// Blanks around a cell are part of it.
int NoBlanks(unsigned char) { return 0; }

// A separator of several bytes stands in the text given to libcsv as this
// byte, which valid UTF-8 never holds.
constexpr char kNarrowSeparator = '\xFF';

bool IsLineBreak(char c) { return c == '\n' || c == '\r'; }

// Every occurrence of from in text replaced by to, into out.
std::string_view Replace(std::string_view text, std::string_view from, std::string_view to,
                         std::string& out) {
  size_t found = text.find(from);
  if (found == std::string_view::npos) return text;
  out.clear();
  size_t start = 0;
  for (; found != std::string_view::npos; found = text.find(from, start)) {
    out.append(text.data() + start, found - start);
    out.append(to);
    start = found + from.size();
  }
  out.append(text.data() + start, text.size() - start);
  return out;
}

// Quotes are rare in text: memchr passes over the rest.
uint64_t Quotes(std::string_view text) {
  uint64_t count = 0;
  const char* end = text.data() + text.size();
  for (const char* p = text.data();
       (p = static_cast<const char*>(std::memchr(p, '"', static_cast<size_t>(end - p)))); ++p)
    ++count;
  return count;
}

// The character at text[i], whole, for a message.
std::string CharacterAt(std::string_view text, size_t i) {
  const int length = Utf8Sequence(text, i);
  return std::string(text.substr(i, length > 0 ? static_cast<size_t>(length) : 1));
}

}  // namespace

TableReader::TableReader(bool tsv, const std::string& delimiter, RowSink& sink)
    : m_Tsv(tsv), m_Sink(sink), m_Lines(!tsv) {
  csv_init(&m_Csv, CSV_STRICT | CSV_STRICT_FINI);
  if (delimiter.size() == 1) {
    csv_set_delim(&m_Csv, static_cast<unsigned char>(delimiter[0]));
  } else {
    m_WideDelimiter = delimiter;
    csv_set_delim(&m_Csv, static_cast<unsigned char>(kNarrowSeparator));
  }
  csv_set_space_func(&m_Csv, NoBlanks);
}

TableReader::~TableReader() { csv_free(&m_Csv); }

TextPosition TableReader::Place(uint64_t offset, const TextPosition& kept) const {
  return offset >= m_Lines.PieceStart() ? m_Lines.At(offset) : kept;
}

TextPosition TableReader::CellStart() const { return Place(m_CellStart, m_CellPosition); }

TextPosition TableReader::RowStart() const { return Place(m_RowStart, m_RowPosition); }

bool TableReader::Feed(std::string_view text) {
  if (!m_Tsv && !m_WideDelimiter.empty())
    text = Replace(text, m_WideDelimiter, std::string_view(&kNarrowSeparator, 1), m_Narrowed);
  m_Text = text;
  m_Lines.Next(text);
  bool ok = true;
  if (m_Tsv) {
    FeedTsv(text);
  } else {
    ok = FeedCsv(text);
  }
  ok = ok && !m_Stopped;
  if (ok) KeepOpenPlaces();
  m_Lines.Next({});
  m_Text = {};
  return ok;
}

void TableReader::KeepOpenPlaces() {
  const uint64_t start = m_Lines.PieceStart(), end = m_Lines.PieceEnd();
  if (m_Tsv && m_Return && !m_RowOpen) {
    // A CR that may start a row, or be the end of an empty line.
    m_RowPosition = m_CellPosition = m_Lines.At(m_ReturnAt);
    return;
  }
  if (!m_Tsv) {
    SkipBreaks();
    if (m_AfterRow) return;
    if (m_CellStart >= start && m_CellStart < end)
      m_CellQuoted = m_Text[m_CellStart - start] == '"';
  }
  // In this order, the row's start first, the piece is counted once.
  if (m_RowStart >= start && m_RowStart < end) m_RowPosition = m_Lines.At(m_RowStart);
  if (m_CellStart >= start && m_CellStart < end) m_CellPosition = m_Lines.At(m_CellStart);
}

// libcsv skips every CR and LF between rows, so the next row starts at the
// first other byte.
void TableReader::SkipBreaks() {
  if (!m_AfterRow) return;
  const uint64_t start = m_Lines.PieceStart(), end = m_Lines.PieceEnd();
  while (m_CellStart < end && IsLineBreak(m_Text[m_CellStart - start])) ++m_CellStart;
  if (m_CellStart == end) return;
  m_AfterRow = false;
  m_RowStart = m_CellStart;
}

bool TableReader::FeedCsv(std::string_view text) {
  // libcsv grows a cell's buffer by a fixed block; a block as large as the
  // buffer already is makes the growth geometric, so that a cell of any size
  // is read in time proportional to it.
  csv_set_blk_size(&m_Csv, std::max(text.size(), csv_get_buffer_size(&m_Csv)));
  const size_t parsed = csv_parse(&m_Csv, text.data(), text.size(), OnCell, OnRow, this);
  if (parsed == text.size() || m_Stopped) return true;
  m_ErrorPosition = m_Lines.At(m_Lines.PieceStart() + parsed);
  if (text[parsed] == '"') {
    m_Error =
        "expected a separator or the end of the row, found a quote inside an unquoted cell "
        "(quote the whole cell and double its quotes)";
  } else {
    // A separator, a line end or a second quote would have been taken.
    m_Error = "expected a separator or the end of the row after the closing quote, found \"" +
              Printable(CharacterAt(text, parsed)) + "\"";
  }
  return false;
}

bool TableReader::Finish() {
  if (m_Stopped) return false;
  if (m_Tsv) {
    if (m_Escape) m_Cell += '\\';
    if (m_Return) {
      StartTsvRow(m_ReturnAt);
      m_Cell += '\r';
    }
    EndTsvRow();
    return !m_Stopped;
  }
  if (csv_fini(&m_Csv, OnCell, OnRow, this) == 0) return !m_Stopped;
  m_Error = "expected a closing quote for the cell that opens here, found the end of the input";
  m_ErrorPosition = CellStart();
  return false;
}

void TableReader::OnCell(void* text, size_t length, void* reader) {
  auto& self = *static_cast<TableReader*>(reader);
  if (self.m_Stopped) return;
  self.SkipBreaks();
  // The cell starts in this piece, in an earlier one, or (an empty last cell)
  // at the end of the text.
  const uint64_t start = self.m_Lines.PieceStart();
  const bool quoted = self.m_CellStart < start ? self.m_CellQuoted
                                               : self.m_CellStart < self.m_Lines.PieceEnd() &&
                                                     self.m_Text[self.m_CellStart - start] == '"';
  std::string_view cell(text ? static_cast<const char*>(text) : "", length);
  // The cell's length in the input: its quotes were doubled there.
  uint64_t raw = length;
  if (quoted) raw += 2 + Quotes(cell);
  if (!self.m_WideDelimiter.empty())
    cell =
        Replace(cell, std::string_view(&kNarrowSeparator, 1), self.m_WideDelimiter, self.m_Widened);
  if (!self.m_Sink.Cell(cell, self)) self.m_Stopped = true;
  self.m_CellStart += raw + 1;  // and the byte that ended it
}

void TableReader::OnRow(int, void* reader) {
  auto& self = *static_cast<TableReader*>(reader);
  if (self.m_Stopped) return;
  if (!self.m_Sink.EndRow(self)) self.m_Stopped = true;
  self.m_AfterRow = true;
}

void TableReader::StartTsvRow(uint64_t at) {
  if (m_RowOpen) return;
  m_RowOpen = true;
  m_RowStart = m_CellStart = at;
}

void TableReader::EndTsvCell(uint64_t next) {
  if (!m_Stopped && !m_Sink.Cell(m_Cell, *this)) m_Stopped = true;
  m_Cell.clear();
  m_CellStart = next;
}

// An empty line is no row.
void TableReader::EndTsvRow() {
  if (!m_RowOpen) return;
  EndTsvCell(m_CellStart);
  if (!m_Stopped && !m_Sink.EndRow(*this)) m_Stopped = true;
  m_RowOpen = false;
}

void TableReader::FeedTsv(std::string_view text) {
  const uint64_t base = m_Lines.PieceStart();
  for (size_t i = 0; i < text.size() && !m_Stopped; ++i) {
    const char c = text[i];
    const uint64_t at = base + i;
    if (m_Return) {
      m_Return = false;
      if (c == '\n') {
        EndTsvRow();
        continue;
      }
      StartTsvRow(m_ReturnAt);
      m_Cell += '\r';
    }
    if (m_Escape) {
      m_Escape = false;
      const char decoded = c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c == '\\' ? c : 0;
      if (decoded != 0) {
        m_Cell += decoded;
        continue;
      }
      // No escape: the backslash stays, and c is read as itself.
      m_Cell += '\\';
    }
    switch (c) {
      case '\\':
        StartTsvRow(at);
        m_Escape = true;
        break;
      case '\t':
        StartTsvRow(at);
        EndTsvCell(at + 1);
        break;
      case '\r':
        m_Return = true;
        m_ReturnAt = at;
        break;
      case '\n':
        EndTsvRow();
        break;
      default:
        StartTsvRow(at);
        m_Cell += c;
    }
  }
}

}  // namespace vexo
