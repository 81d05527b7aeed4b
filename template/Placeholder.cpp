#include "template/Placeholder.h"

#include <cstdint>

#include "state/Tbl.h"

namespace vexo {

namespace {

// The characters that end a field's stretch, as bits of one word: the
// terminating zero, "$", "&" and "?", all below 64.
constexpr uint64_t kStretchEnds =
    uint64_t{1} << 0 | uint64_t{1} << L'$' | uint64_t{1} << L'&' | uint64_t{1} << L'?';

bool EndsStretch(wchar_t c) {
  return static_cast<uint32_t>(c) < 64 && (kStretchEnds >> static_cast<uint32_t>(c) & 1) != 0;
}

// Whether any of the kBlock characters at text ends a stretch, tested side
// by side in two vectors of four.
using Lanes = int32_t __attribute__((vector_size(16)));
constexpr int kBlock = 8;
static_assert(sizeof(wchar_t) == sizeof(int32_t), "a lane holds one character");

bool BlockEndsStretch(const wchar_t* text) {
  Lanes low;
  Lanes high;
  __builtin_memcpy(&low, text, sizeof low);
  __builtin_memcpy(&high, text + 4, sizeof high);
  const Lanes hit = (low == 0) | (low == L'$') | (low == L'&') | (low == L'?') | (high == 0) |
                    (high == L'$') | (high == L'&') | (high == L'?');
  int64_t halves[2];
  __builtin_memcpy(halves, &hit, sizeof halves);
  return (halves[0] | halves[1]) != 0;
}

}  // namespace

FieldColumns ScanFieldColumns(const wchar_t* text, int pos, int length) {
  FieldColumns columns;
  columns.number = ReadDigits(text, &pos);
  if (text[pos] == L'=' || text[pos] == L'>') {
    columns.align = text[pos] == L'=' ? Line::alCenter : Line::alRight;
    ++pos;
  }
  columns.stretch = pos;
  // Stretches are mostly long runs of spaces.
  while (pos + kBlock <= length && !BlockEndsStretch(text + pos)) pos += kBlock;
  while (!EndsStretch(text[pos])) ++pos;
  columns.stretchEnd = pos;
  columns.last = text[pos] == L'?' ? pos : pos - 1;
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

std::wstring SubstitutionText(const Substitution& substitution) {
  switch (substitution.kind) {
    case SubstitutionKind::kDate:
      return GetCurrentTimeString(kDateFormat);
    case SubstitutionKind::kDateTime:
      return GetCurrentTimeString(kDateTimeFormat);
    case SubstitutionKind::kHeaderFirst:
      return Tbl::TabHdrField.FirstValue(substitution.number);
    case SubstitutionKind::kRecordSegment: {
      std::wstring segment;
      if (!Tbl::TabRcdField.SetCurrent(substitution.number)) return segment;
      for (wchar_t c = Tbl::TabRcdField.GetSym(); c != 0 && c != kSegmentSeparator;
           c = Tbl::TabRcdField.GetSym()) {
        segment.push_back(c);
      }
      return segment;
    }
    case SubstitutionKind::kNone:
      break;
  }
  return std::wstring();
}

}  // namespace vexo
