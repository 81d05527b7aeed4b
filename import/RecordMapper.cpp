#include "import/RecordMapper.h"

#include <algorithm>
#include <utility>

#include "import/Printable.h"

namespace vexo {

namespace {

// What the data file keeps of a cell is empty: blanks, line breaks and tabs
// become blanks that are trimmed, other control characters are dropped.
bool Blank(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

}  // namespace

RecordMapper::RecordMapper(const ImportOptions& options, DataWriter& writer)
    : m_Options(options), m_Writer(writer) {}

bool RecordMapper::Fail(TextPosition where, std::string message) {
  m_Error = std::move(message);
  m_ErrorPosition = where;
  return false;
}

bool RecordMapper::Cell(std::string_view text, const TablePlace& place) {
  const size_t index = m_Count++;
  if (m_Width > 0 && index >= m_Width) {
    if (index == m_Width) m_FirstExtra = place.CellStart();
    if (m_Options.extraCells != ExtraCells::kKeep) return true;
  }
  if (m_Kept == m_Cells.size()) m_Cells.emplace_back();
  m_Cells[m_Kept++].assign(text);
  return true;
}

bool RecordMapper::EndRow(const TablePlace& place) {
  const size_t count = m_Count;
  m_Count = 0;
  if (m_FirstRow) {
    m_FirstRow = false;
    if (m_Options.headerRow) {
      m_Names.assign(m_Cells.begin(), m_Cells.begin() + m_Kept);
      m_Width = m_Kept;
    }
    if (!ResolveColumns(place)) return false;
    if (m_Options.headerRow) {
      m_Kept = 0;
      return true;
    }
  } else if (m_Width > 0 && count > m_Width && m_Options.extraCells == ExtraCells::kError) {
    return Fail(m_FirstExtra,
                "expected at most " + std::to_string(m_Width) +
                    " cells, as the header row has, found a row of " + std::to_string(count) +
                    " cells; its cell " + std::to_string(m_Width + 1) +
                    " starts here (--extra-cells=drop or --extra-cells=keep accepts such rows)");
  }
  WriteRecord(place);
  m_Kept = 0;
  return true;
}

// A header name first; a number only when no column has that name.
bool RecordMapper::FindColumn(const std::string& text, size_t& column) const {
  for (size_t k = 0; k < m_Names.size(); ++k) {
    if (m_Names[k] != text) continue;
    column = k;
    return true;
  }
  const long number = ParseFieldNumber(text);
  if (number < 1 || static_cast<size_t>(number) > m_Kept) return false;
  column = static_cast<size_t>(number) - 1;
  return true;
}

bool RecordMapper::ResolveColumns(const TablePlace& place) {
  const auto missing = [&](const std::string& name) {
    return Fail(place.RowStart(),
                "expected a column \"" + Printable(name) + "\", found " +
                    (m_Options.headerRow ? "no such name or number in the header row"
                                         : "no such number in the first row") +
                    " of " + std::to_string(m_Kept) + " columns");
  };
  for (const auto& [name, field] : m_Options.fields) {
    size_t column = 0;
    if (!FindColumn(name, column)) return missing(name);
    m_Mappings.push_back({column, field});
  }
  m_AllColumns = m_Options.fields.empty();
  if (m_Options.breakOn.empty()) return true;
  if (!FindColumn(m_Options.breakOn, m_BreakColumn)) return missing(m_Options.breakOn);
  m_BreakOn = true;
  return true;
}

bool RecordMapper::HasText() const {
  if (m_AllColumns) {
    for (size_t k = 0; k < m_Kept; ++k)
      if (!Blank(m_Cells[k])) return true;
    return false;
  }
  for (const Mapping& mapping : m_Mappings)
    if (mapping.column < m_Kept && !Blank(m_Cells[mapping.column])) return true;
  return false;
}

void RecordMapper::WriteRecord(const TablePlace& place) {
  if (m_BreakOn) {
    const std::string_view value =
        m_BreakColumn < m_Kept ? std::string_view(m_Cells[m_BreakColumn]) : std::string_view();
    if (m_HavePrevious && value != m_Previous) m_BreakPending = true;
    m_Previous.assign(value);
    m_HavePrevious = true;
  }
  if (!HasText()) {
    if (m_EmptyRows++ == 0) m_FirstEmptyRow = place.RowStart();
    return;
  }
  if (m_BreakPending) m_Writer.SheetBreak();
  m_BreakPending = false;
  if (m_AllColumns) {
    for (size_t k = 0; k < m_Kept; ++k) WriteCell(static_cast<long>(k) + 1, k);
  } else {
    for (const Mapping& mapping : m_Mappings)
      if (mapping.column < m_Kept) WriteCell(mapping.field, mapping.column);
  }
  m_Writer.EndRecord();
}

// The text is valid UTF-8 and the field number 1 or more, so the writer
// takes every call.
void RecordMapper::WriteCell(long field, size_t column) {
  const std::string_view text = m_Cells[column];
  const std::string& separator = m_Options.segments;
  if (separator.empty()) {
    m_Writer.Field(field, text);
    return;
  }
  for (size_t start = 0;;) {
    const size_t end = text.find(separator, start);
    m_Writer.Field(field, text.substr(start, end - start));
    if (end == std::string_view::npos) break;
    start = end + separator.size();
  }
}

}  // namespace vexo
