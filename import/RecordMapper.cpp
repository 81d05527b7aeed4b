#include "import/RecordMapper.h"

#include <utility>

namespace vexo {

RecordMapper::RecordMapper(const ImportOptions& options, DataWriter& writer)
    : m_Options(options), m_Writer(writer) {}

void RecordMapper::Cell(std::string_view text) {
  if (m_Count == m_Cells.size()) m_Cells.emplace_back();
  m_Cells[m_Count++].assign(text);
}

void RecordMapper::Fail(size_t column, std::string message) {
  m_Error = std::move(message);
  m_ErrorRow = m_Row;
  m_ErrorColumn = static_cast<long>(column) + 1;
}

void RecordMapper::EndRow() {
  const bool firstRow = m_FirstRow;
  m_FirstRow = false;
  if (firstRow) {
    if (m_Options.headerRow) m_Names.assign(m_Cells.begin(), m_Cells.begin() + m_Count);
    ResolveColumns();
  }
  // The header row is no record, and after an error nothing more is written.
  if (m_Error.empty() && !(firstRow && m_Options.headerRow)) WriteRecord();
  m_Count = 0;
  ++m_Row;
}

// A header name first; a number only when no column has that name.
bool RecordMapper::FindColumn(const std::string& text, size_t& column) {
  for (size_t k = 0; k < m_Names.size(); ++k) {
    if (m_Names[k] != text) continue;
    column = k;
    return true;
  }
  const long number = ParseFieldNumber(text);
  if (number < 1 || static_cast<size_t>(number) > m_Count) return false;
  column = static_cast<size_t>(number) - 1;
  return true;
}

void RecordMapper::ResolveColumns() {
  const auto missing = [&](const std::string& name) {
    Fail(m_Count, "expected a column \"" + name + "\", found " +
                      (m_Options.headerRow ? "no such name or number in the header row"
                                           : "no such number in the first row") +
                      " of " + std::to_string(m_Count) + " columns");
  };
  for (const auto& [name, field] : m_Options.fields) {
    size_t column = 0;
    if (!FindColumn(name, column)) return missing(name);
    m_Mappings.push_back({column, field});
  }
  m_AllColumns = m_Options.fields.empty();
  if (m_Options.breakOn.empty()) return;
  if (!FindColumn(m_Options.breakOn, m_BreakColumn)) return missing(m_Options.breakOn);
  m_BreakOn = true;
}

void RecordMapper::WriteRecord() {
  if (m_BreakOn) {
    const std::string_view value =
        m_BreakColumn < m_Count ? std::string_view(m_Cells[m_BreakColumn]) : std::string_view();
    if (m_HavePrevious && value != m_Previous) m_Writer.SheetBreak();
    m_Previous.assign(value);
    m_HavePrevious = true;
  }
  if (m_AllColumns) {
    for (size_t k = 0; k < m_Count; ++k) WriteCell(static_cast<long>(k) + 1, k);
  } else {
    for (const Mapping& mapping : m_Mappings)
      if (mapping.column < m_Count) WriteCell(mapping.field, mapping.column);
  }
  m_Writer.EndRecord();
}

void RecordMapper::WriteCell(long field, size_t column) {
  const std::string_view text = m_Cells[column];
  const std::string& separator = m_Options.segments;
  bool written = true;
  if (separator.empty()) {
    written = m_Writer.Field(field, text);
  } else {
    for (size_t start = 0;;) {
      const size_t end = text.find(separator, start);
      written = written && m_Writer.Field(field, text.substr(start, end - start));
      if (end == std::string_view::npos) break;
      start = end + separator.size();
    }
  }
  if (!written && m_Error.empty())
    Fail(column, "expected UTF-8 text, found a code point that is not");
}

}  // namespace vexo
