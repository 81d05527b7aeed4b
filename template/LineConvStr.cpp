// Rendering one text line: placeholders filled from the field tables.
#include <algorithm>
#include <cstring>
#include <cwchar>

#include "state/Tbl.h"
#include "template/Blank.h"
#include "template/Line.h"
#include "template/LineCache.h"
#include "template/Placeholder.h"
#include "template/RasdelTable.h"
#include "template/SubstitutionText.h"

namespace vexo {
namespace {

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
};

}  // namespace
}  // namespace vexo

// Whether the segment fits needs no more than width + 1 of its characters.
// Left-aligned, the columns are filled and the segment measured in one pass.
void Line::PutPol(wchar_t* line, typAlign align, int first, int last, FieldTab* tab, bool cut) {
  const int width = last - first + 1;
  int column = first;
  int room;
  if (align == alLeft) {
    int ostatok;
    column += tab->GetSyms(line + first, width, &ostatok);
    room = width - ostatok;
  } else {
    int copyable;
    room = width - tab->Ostatok(width + 1, copyable);
    if (room >= 0) column += align == alCenter ? room / 2 : room;
    column += tab->GetSyms(line + column, last - column + 1, copyable);
  }
  const bool fits = room >= 0;
  if (column > last) tab->DelSeparator();
  if (fits) return;
  if (cut) {
    tab->ClearField();
    return;
  }

  // Wrap: give back the start of the word that did not fit, up to the last
  // break character in the columns; without one the word is cut at `last`.
  const vexo::RasdelTable& breaks = vexo::RasdelTable::Current();
  const int q = breaks.LastBreak(line, first, last);
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

// Fills the numbered field placeholder at `first`, blanked already, with the
// columns up to `last`. False when its field does not exist: nothing is
// filled then.
inline bool FillNumbered(Line& owner, WorkLine& line, int first, int last, bool record,
                         bool doubled, long number, Line::typAlign align) {
  FieldTab& table = record ? Tbl::TabRcdField : Tbl::TabHdrField;
  if (doubled && !record) Tbl::TabHdrField.First(number);
  if (!table.SetCurrent(number)) return false;
  // PutPol leaves the line and the field as they are when the field has
  // nothing left to print.
  if (table.ExistCurrent()) owner.PutPol(line.text, align, first, last, &table, doubled && record);
  return true;
}

// Fills the macro field of `symbol` at `first`, blanked already: the record
// field that carries the symbol, or else the header field.
void FillMacro(Line& owner, WorkLine& line, int first, wchar_t symbol, const MacroColumns& columns,
               int last) {
  FieldTab* table = &Tbl::TabRcdField;
  if (!Tbl::TabRcdField.SetCurrentMac(symbol)) {
    Tbl::TabHdrField.SetCurrentMac(symbol);
    table = &Tbl::TabHdrField;
  }
  if (table->ExistCurrent()) owner.PutPol(line.text, columns.align, first, last, table, false);
}

// Whether c is a macro symbol; the field that carries it becomes current in
// the header table, or failing that in the record table, as the scan leaves
// them.
bool TakeMacroSymbol(wchar_t c) {
  return Tbl::TabHdrField.SetCurrentMac(c) || Tbl::TabRcdField.SetCurrentMac(c);
}

// The counter's next value, written to digits (16 characters); returns its
// length.
int NextCount(wchar_t* digits) {
  Tbl::CountList = static_cast<int>(static_cast<unsigned>(Tbl::CountList) + 1u);
  return std::swprintf(digits, 16, L"%d", Tbl::CountList);
}

// Writes the counter's digits right-aligned over the blanked run of `width`
// columns at `at`. A longer number overwrites what follows and may lengthen
// the line.
void PlaceCount(WorkLine& line, int at, int width, const wchar_t* digits, int count) {
  int column = at + std::max(0, width - count);
  for (int k = 0; k < count && column < kLineMax; ++k, ++column) line.text[column] = digits[k];
  if (column > line.length) {
    line.length = column;
    line.text[column] = 0;
  }
}

// Takes the rest of the current segment of record field `number` with its
// separator and writes at most `room` characters of it to out; returns how
// many. Nothing for a field that does not exist.
int TakeRecordSegment(long number, wchar_t* out, int room) {
  FieldTab& table = Tbl::TabRcdField;
  if (!table.SetCurrent(number)) return 0;
  const int taken = table.GetSyms(out, room);
  if (taken == room) {
    // What the line has no room for is consumed all the same.
    wchar_t rest[256];
    while (table.GetSyms(rest, 256) == 256) {
    }
  }
  return taken;
}

// The text of the substitution `found`, whose "@" stands at column `at`, with
// at most the line's room for it; returns its length. A record segment is
// consumed.
int SubstitutionAt(int at, const Substitution& found, wchar_t* out) {
  const int room = kLineMax - at;
  if (found.kind == SubstitutionKind::kRecordSegment) {
    return TakeRecordSegment(found.number, out, room);
  }
  const std::wstring value = SubstitutionText(found, static_cast<size_t>(room));
  const int length = std::min(static_cast<int>(value.size()), room);
  std::wmemcpy(out, value.data(), static_cast<size_t>(length));
  return length;
}

// The scan of rendering from column i to the end of the line.
int ScanFrom(Line& owner, WorkLine& line, int i) {
  wchar_t* text = line.text;
  while (text[i] != 0) {
    const wchar_t c = text[i];
    if (TakeMacroSymbol(c)) {
      const MacroColumns columns = ScanMacroColumns(text, i);
      BlankMacro(text, i, columns);
      FillMacro(owner, line, i, c, columns, columns.last);
      i = columns.last + 1;
    } else if (StartsNumberedField(text, i)) {
      const bool record = c == L'$';
      const bool doubled = text[i + 1] == c;
      const FieldColumns columns = ScanFieldColumns(text, i + (doubled ? 2 : 1), line.length);
      BlankNumbered(text, i, record, columns);
      const bool filled = FillNumbered(owner, line, i, columns.last, record, doubled,
                                       columns.number, columns.align);
      i = filled ? columns.last + 1 : i + 1;
    } else if (c == L'#') {
      int end = i;
      while (text[end] == L'#') ++end;
      BlankRun(text, i, end - i);
      wchar_t digits[16];
      const int count = NextCount(digits);
      PlaceCount(line, i, end - i, digits, count);
      ++i;
    } else if (c == L'@') {
      const Substitution found = ScanSubstitution(text, i, true);
      if (found.kind == SubstitutionKind::kNone) {
        ++i;
        continue;
      }
      wchar_t value[kLineBuffer];
      const int length = SubstitutionAt(i, found, value);
      i = line.Splice(i, found.end - i, value, length);
    } else {
      ++i;
    }
  }
  return line.length;
}

// The rendering of a line by its reading: the line holds the reading's
// blanked text, and each step makes the calls that the scan makes for its
// placeholder, without looking at the characters between them. From the
// first step whose condition fails, the line right of it is put back as read
// and the scan takes over, as if it had met the placeholder itself.
int RenderSteps(Line& owner, WorkLine& line, const LineReading& reading) {
  int shift = 0;  // how far a substitution has moved the text right of it
  // Puts back the text as read from column `at` to the end of the line.
  auto readAgainFrom = [&](int at) {
    std::wmemcpy(line.text + at, reading.text + (at - shift),
                 static_cast<size_t>(line.length - at));
  };
  for (size_t k = 0; k < reading.stepCount; ++k) {
    const Step& step = reading.steps[k];
    const int at = step.at + shift;
    switch (step.kind) {
      case StepKind::kNumbered: {
        const FieldColumns& columns = step.field;
        if (!FillNumbered(owner, line, at, columns.last + shift, step.record, step.doubled,
                          columns.number, columns.align)) {
          readAgainFrom(at);
          FieldColumns moved = columns;
          moved.stretch += shift;
          moved.stretchEnd += shift;
          moved.last += shift;
          BlankNumbered(line.text, at, step.record, moved);
          return ScanFrom(owner, line, at + 1);
        }
        break;
      }
      case StepKind::kMacro:
        TakeMacroSymbol(step.symbol);
        FillMacro(owner, line, at, step.symbol, step.macro, step.macro.last + shift);
        break;
      case StepKind::kCounter: {
        wchar_t digits[16];
        const int count = NextCount(digits);
        if (count > step.width) {
          readAgainFrom(at);
          BlankRun(line.text, at, step.width);
          PlaceCount(line, at, step.width, digits, count);
          return ScanFrom(owner, line, at + 1);
        }
        PlaceCount(line, at, step.width, digits, count);
        break;
      }
      case StepKind::kSubstitution: {
        const Substitution& found = step.substitution;
        wchar_t value[kLineBuffer];
        const int length = SubstitutionAt(at, found, value);
        const int removed = found.end - step.at;
        const bool whole = line.length - removed + length <= kLineMax;
        if (!whole) readAgainFrom(at + removed);
        const int next = line.Splice(at, removed, value, length);
        if (!whole) return ScanFrom(owner, line, next);
        shift = next - found.end;
        break;
      }
      case StepKind::kScanOn:
        // No step right of it has blanked anything.
        return ScanFrom(owner, line, at);
    }
  }
  return line.length;
}

}  // namespace
}  // namespace vexo

std::wstring Line::ConvStr() {
  wchar_t text[vexo::kLineBuffer];
  const int length = ConvStr(text);
  return std::wstring(text, static_cast<size_t>(length));
}

// A line rendered before is rendered by what its reading kept; the reader is
// moved on past the line as reading it would have.
int Line::ConvStr(wchar_t* text) {
  vexo::LineCache& cache = vexo::LineCache::Of(Blank::m_File);
  vexo::LineReading reading;
  vexo::WorkLine line{text, 0};
  if (!cache.Find(m_FilePos, reading)) {
    wchar_t read[vexo::kLineBuffer];
    Blank::m_File.SetFilePointer(m_FilePos);
    size_t length = 0;
    Blank::m_File.GetLine(read, vexo::kLineMax, length);
    line.length = static_cast<int>(ExpandTabs(read, length, text));
    if (!cache.Keep(m_FilePos, text, line.length, Blank::m_File.GetFilePointer(), reading)) {
      return vexo::ScanFrom(*this, line, 0);
    }
  }
  std::memcpy(text, reading.blanked, (static_cast<size_t>(reading.length) + 1) * sizeof(wchar_t));
  line.length = reading.length;
  Blank::m_File.SetFilePointer(reading.end);
  return vexo::RenderSteps(*this, line, reading);
}
