#include "template/Placeholder.h"

#include "util/WideSearch.h"

namespace vexo {

namespace {

// The terminating zero, "$", "&" and "?" end a field's stretch.
using EndsStretch = IsAnyOf<0, L'$', L'&', L'?'>;

}  // namespace

FieldColumns ScanFieldColumns(const wchar_t* text, int pos, int length) {
  FieldColumns columns;
  columns.number = ReadDigits(text, &pos);
  columns.align = AlignmentOf(text[pos]);
  if (columns.align != Line::alLeft) ++pos;
  columns.stretch = pos;
  // The terminating zero at text[length] ends every stretch.
  pos +=
      static_cast<int>(FindFirst(text + pos, static_cast<size_t>(length - pos + 1), EndsStretch{}));
  columns.stretchEnd = pos;
  columns.last = text[pos] == L'?' ? pos : pos - 1;
  return columns;
}

MacroColumns ScanMacroColumns(const wchar_t* text, int first) {
  MacroColumns columns;
  const wchar_t symbol = text[first];
  int pos = first + 1;
  columns.align = AlignmentOf(text[pos]);
  if (columns.align != Line::alLeft) ++pos;
  columns.last = pos - 1;
  if (text[pos] == symbol) {
    columns.last = pos;
    columns.closed = true;
  } else if (text[pos] == L' ') {
    int end = pos;
    while (text[end] == L' ') ++end;
    columns.closed = text[end] == symbol;
    columns.last = columns.closed ? end : end - 1;
  }
  return columns;
}

Substitution ScanSubstitution(const wchar_t* text, int at, bool recordSegments) {
  Substitution found;
  const wchar_t next = text[at + 1];
  if (next == L'D' || next == L'T') {
    found.kind = next == L'D' ? SubstitutionKind::kDate : SubstitutionKind::kDateTime;
    found.end = at + 2;
  } else if (IsDecimalDigit(next)) {
    found.kind = SubstitutionKind::kHeaderFirst;
    found.end = at + 1;
    found.number = ReadDigits(text, &found.end);
  } else if (recordSegments && next == L'@' && IsDecimalDigit(text[at + 2])) {
    found.kind = SubstitutionKind::kRecordSegment;
    found.end = at + 2;
    found.number = ReadDigits(text, &found.end);
  }
  return found;
}

}  // namespace vexo
