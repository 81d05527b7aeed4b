#include "import/TableReader.h"

namespace vexo {

namespace {

// Blanks around a cell are part of it.
int NoBlanks(unsigned char) { return 0; }

}  // namespace

TableReader::TableReader(bool tsv, char delimiter, RowSink& sink) : m_Tsv(tsv), m_Sink(sink) {
  csv_init(&m_Csv, CSV_STRICT | CSV_STRICT_FINI);
  csv_set_delim(&m_Csv, static_cast<unsigned char>(delimiter));
  csv_set_space_func(&m_Csv, NoBlanks);
}

TableReader::~TableReader() { csv_free(&m_Csv); }

void TableReader::OnCell(void* text, size_t length, void* reader) {
  auto& self = *static_cast<TableReader*>(reader);
  self.m_Sink.Cell(std::string_view(text ? static_cast<const char*>(text) : "", length));
  ++self.m_Column;
}

void TableReader::OnRow(int, void* reader) {
  auto& self = *static_cast<TableReader*>(reader);
  self.m_Sink.EndRow();
  ++self.m_Row;
  self.m_Column = 1;
}

bool TableReader::Feed(std::string_view text) {
  if (m_Tsv) {
    FeedTsv(text);
    return true;
  }
  const size_t parsed = csv_parse(&m_Csv, text.data(), text.size(), OnCell, OnRow, this);
  if (parsed == text.size()) return true;
  m_Error = text[parsed] == '"'
                ? "expected a separator or the end of the row, found a quote inside an unquoted "
                  "cell (quote the whole cell and double its quotes)"
                : "expected a separator or the end of the row after the closing quote, found \"" +
                      std::string(1, text[parsed]) + "\"";
  return false;
}

bool TableReader::Finish() {
  if (m_Tsv) {
    if (m_Return) m_Cell += '\r';
    if (m_Escape) m_Cell += '\\';
    if (!m_Cell.empty() || m_Column > 1) {
      EndTsvCell();
      m_Sink.EndRow();
    }
    return true;
  }
  if (csv_fini(&m_Csv, OnCell, OnRow, this) == 0) return true;
  m_Error = "expected a closing quote, found the end of the input";
  return false;
}

void TableReader::EndTsvCell() {
  m_Sink.Cell(m_Cell);
  m_Cell.clear();
  ++m_Column;
}

void TableReader::FeedTsv(std::string_view text) {
  for (const char c : text) {
    if (m_Return && c != '\n') m_Cell += '\r';
    m_Return = false;
    if (m_Escape) {
      m_Escape = false;
      switch (c) {
        case 't':
          m_Cell += '\t';
          break;
        case 'n':
          m_Cell += '\n';
          break;
        case 'r':
          m_Cell += '\r';
          break;
        case '\\':
          m_Cell += '\\';
          break;
        default:
          m_Cell += '\\';
          m_Cell += c;
      }
    } else if (c == '\\') {
      m_Escape = true;
    } else if (c == '\t') {
      EndTsvCell();
    } else if (c == '\r') {
      m_Return = true;
    } else if (c == '\n') {
      if (m_Cell.empty() && m_Column == 1) continue;  // an empty line is no row
      EndTsvCell();
      m_Sink.EndRow();
      ++m_Row;
      m_Column = 1;
    } else {
      m_Cell += c;
    }
  }
}

}  // namespace vexo
