// Rendering one text line: placeholders filled from the field tables.
#include <algorithm>
#include <cwchar>

#include "state/Tbl.h"
#include "template/Blank.h"
#include "template/Line.h"
#include "template/MacroColumns.h"
#include "template/Placeholder.h"
#include "template/SubstitutionText.h"

namespace vexo {
namespace {

// The break characters of Line::Rasdel as a table for ASCII, made again
// whenever Rasdel points elsewhere: the wrap scan tests every column it walks
// back over. A character outside ASCII is searched for only when Rasdel
// holds one.
class RasdelTable {
 public:
  // The table of the current Rasdel.
  static const RasdelTable& Current() {
    static RasdelTable table;
    if (table.m_Of != Line::Rasdel) table = RasdelTable(Line::Rasdel);
    return table;
  }
  bool Has(wchar_t c) const {
    if (c > 0 && c < 128) return m_Ascii[c];
    return m_Others && c != 0 && std::wcschr(m_Of, c) != nullptr;
  }

 private:
  RasdelTable() = default;
  explicit RasdelTable(const wchar_t* breaks) : m_Of(breaks) {
    for (const wchar_t* p = breaks; *p != 0; ++p) {
      if (*p > 0 && *p < 128) {
        m_Ascii[*p] = true;
      } else {
        m_Others = true;
      }
    }
  }

  const wchar_t* m_Of = nullptr;
  bool m_Ascii[128] = {};
  bool m_Others = false;
};

// The working line of one rendering: a buffer of kLineBuffer characters
// holding `length` characters and a terminating zero.
struct WorkLine {
  wchar_t* text;
  int length;

  // Replaces `removed` characters at `at` by `insert`; the rest of the line
  // moves. Whatever would go beyond kLineMax characters is lost. Returns the
  // column right after the inserted text.
  int Splice(int at, int removed, const wchar_t* insert, int inserted) {
    const int tail = at + removed;
    const int kept = std::min(inserted, kLineMax - at);
    const int moved = std::min(length - tail, kLineMax - (at + kept));
    if (moved > 0) std::wmemmove(text + at + kept, text + tail, static_cast<size_t>(moved));
    std::wmemcpy(text + at, insert, static_cast<size_t>(kept));
    length = at + kept + std::max(0, moved);
    text[length] = 0;
    return at + kept;
  }

  // Blanks columns from..to.
  void Blank(int from, int to) {
    for (int k = from; k <= to; ++k) text[k] = L' ';
  }
};

}  // namespace
}  // namespace vexo

bool Line::IsRasdel(wchar_t c) { return vexo::RasdelTable::Current().Has(c); }

void Line::PutPol(wchar_t* line, typAlign align, int first, int last, FieldTab* tab, bool cut) {
  const int width = last - first + 1;
  // Whether the segment fits needs no more than width + 1 of its characters.
  const int room = width - tab->Ostatok(width + 1);
  const bool fits = room >= 0;
  int column = first;
  if (fits && align == alCenter) {
    column = first + room / 2;
  } else if (fits && align != alLeft) {
    column = first + room;
  }
  column += tab->GetSyms(line + column, last - column + 1);
  if (column > last) tab->DelSeparator();
  if (fits) return;
  if (cut) {
    tab->ClearField();
    return;
  }

  // Wrap: give back the start of the word that did not fit, up to the last
  // break character in the columns; without one the word is cut at `last`.
  const vexo::RasdelTable& breaks = vexo::RasdelTable::Current();
  int q = last;
  while (q >= first && !breaks.Has(line[q])) --q;
  if (q < first) return;
  tab->ReturnSyms(static_cast<size_t>(last - q));
  for (int k = last; k > q; --k) line[k] = L' ';
  const int end = (line[q] == L' ' && q > first) ? q - 1 : q;
  if (align == alLeft) return;
  const int shift = align == alCenter ? (last - end) / 2 : last - end;
  if (shift < 1) return;
  std::wmemmove(line + first + shift, line + first, static_cast<size_t>(end - first + 1));
  for (int k = first; k < first + shift; ++k) line[k] = L' ';
}

namespace vexo {
namespace {

// "$n", "$$n", "&n" or "&&n" at column `first`, with an optional alignment
// mark and the end of its columns. Returns the column where the scan goes on.
int NumberedField(Line& owner, WorkLine& line, int first) {
  wchar_t* text = line.text;
  const wchar_t mark = text[first];
  const bool record = mark == L'$';
  const bool doubled = text[first + 1] == mark;
  const FieldColumns columns = ScanFieldColumns(text, first + (doubled ? 2 : 1), line.length);
  line.Blank(first, columns.stretch - 1);
  if (text[columns.stretchEnd] == L'?') text[columns.stretchEnd] = L' ';
  // A header placeholder's stretch was taken as the field's preset text when
  // the part was loaded; a record placeholder's stretch is a fill pattern
  // that stays where the value leaves it free.
  if (!record) line.Blank(columns.stretch, columns.last);

  FieldTab& table = record ? Tbl::TabRcdField : Tbl::TabHdrField;
  if (doubled && !record) Tbl::TabHdrField.First(columns.number);
  if (!table.SetCurrent(columns.number)) return first + 1;
  owner.PutPol(text, columns.align, first, columns.last, &table, doubled && record);
  return columns.last + 1;
}

// A macro symbol at column `first`, with an optional alignment mark and an
// optional run of spaces closed by the symbol again.
int MacroField(Line& owner, WorkLine& line, int first) {
  wchar_t* text = line.text;
  const wchar_t symbol = text[first];
  FieldTab* table = &Tbl::TabRcdField;
  if (!Tbl::TabRcdField.SetCurrentMac(symbol)) {
    Tbl::TabHdrField.SetCurrentMac(symbol);
    table = &Tbl::TabHdrField;
  }
  const MacroColumns columns = ScanMacroColumns(text, first);
  text[first] = L' ';
  if (columns.align != Line::alLeft) text[first + 1] = L' ';
  if (columns.closed) text[columns.last] = L' ';
  owner.PutPol(text, columns.align, first, columns.last, table, false);
  return columns.last + 1;
}

// A run of "#" at column `at`: the running counter, right-aligned over the
// run. A longer number overwrites what follows and may lengthen the line.
int Counter(WorkLine& line, int at) {
  int end = at;
  while (line.text[end] == L'#') line.text[end++] = L' ';
  const int width = end - at;
  Tbl::CountList = static_cast<int>(static_cast<unsigned>(Tbl::CountList) + 1u);
  wchar_t digits[16];
  const int count = std::swprintf(digits, 16, L"%d", Tbl::CountList);
  int column = at + std::max(0, width - count);
  for (int k = 0; k < count && column < kLineMax; ++k, ++column) line.text[column] = digits[k];
  if (column > line.length) {
    line.length = column;
    line.text[column] = 0;
  }
  return at + 1;
}

// The rest of the current segment of record field `number`, consumed with
// its separator; empty for a field that does not exist.
std::wstring TakeRecordSegment(long number) {
  std::wstring segment;
  if (!Tbl::TabRcdField.SetCurrent(number)) return segment;
  for (wchar_t c = Tbl::TabRcdField.GetSym(); c != 0 && c != kSegmentSeparator;
       c = Tbl::TabRcdField.GetSym()) {
    segment.push_back(c);
  }
  return segment;
}

// "@D", "@T", "@n" or "@@n" at column `at`, replaced by its text. Returns the
// column after the inserted text, or at + 1 when the "@" starts none of them.
int Substitute(WorkLine& line, int at) {
  const Substitution found = ScanSubstitution(line.text, at, true);
  if (found.kind == SubstitutionKind::kNone) return at + 1;
  // What the line has no room for would be cut off anyway.
  const std::wstring value = found.kind == SubstitutionKind::kRecordSegment
                                 ? TakeRecordSegment(found.number)
                                 : SubstitutionText(found, static_cast<size_t>(kLineMax - at));
  return line.Splice(at, found.end - at, value.data(), static_cast<int>(value.size()));
}

}  // namespace
}  // namespace vexo

std::wstring Line::ConvStr() {
  wchar_t text[vexo::kLineBuffer];
  const int length = ConvStr(text);
  return std::wstring(text, static_cast<size_t>(length));
}

int Line::ConvStr(wchar_t* text) {
  wchar_t read[vexo::kLineBuffer];
  Blank::m_File.SetFilePointer(m_FilePos);
  size_t length = 0;
  Blank::m_File.GetLine(read, vexo::kLineMax, length);
  vexo::WorkLine line{text, static_cast<int>(ExpandTabs(read, length, text))};

  int i = 0;
  while (text[i] != 0) {
    const wchar_t c = text[i];
    if (Tbl::TabHdrField.SetCurrentMac(c) || Tbl::TabRcdField.SetCurrentMac(c)) {
      i = vexo::MacroField(*this, line, i);
    } else if (vexo::StartsNumberedField(text, i)) {
      i = vexo::NumberedField(*this, line, i);
    } else if (c == L'#') {
      i = vexo::Counter(line, i);
    } else if (c == L'@') {
      i = vexo::Substitute(line, i);
    } else {
      ++i;
    }
  }
  return line.length;
}
