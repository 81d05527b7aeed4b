// The placeholder syntax of text lines, read once for both of its readers:
// field registration when a part is loaded, and rendering. What each reader
// does with a placeholder is its own; how a placeholder is spelt is here.
//
// Where the two readers differ, they differ on purpose, and each difference
// is written out in the reader that makes it:
//  - Registration takes every "$" as naming a record field and reads its
//    number as wcstol does (white space and a sign allowed), so "$ 12" names
//    field 12; rendering takes "$" only when a digit (or "$" and a digit)
//    follows.
//  - Registration takes every "&" as a header placeholder ("&&5" is field 0
//    ending at once, then field 5); rendering takes "&&5" as field 5 started
//    again, and "&" only before a digit.
//  - Registration reads header placeholders from the tab-expanded copy of the
//    line and record fields from the line as read; rendering reads the copy.
//  - Registration fills the stretch of a header placeholder with its "@"
//    substitutions and knows no "@@n"; rendering blanks a header stretch and
//    substitutes "@" only outside field placeholders.
#pragma once

#include "template/Line.h"

namespace vexo {

// True for the ASCII digits only; placeholders know no other digits.
inline bool IsDecimalDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Reads the digits starting at text[*pos] and leaves *pos on the first other
// character. Too many digits wrap modulo 2^64 instead of overflowing; no
// digit gives 0.
inline long ReadDigits(const wchar_t* text, int* pos) {
  unsigned long value = 0;
  while (IsDecimalDigit(text[*pos])) {
    value = value * 10 + static_cast<unsigned long>(text[*pos] - L'0');
    ++*pos;
  }
  return static_cast<long>(value);
}

// The alignment an alignment mark gives: "=" centres, ">" aligns right;
// alLeft for any other character, which is no mark.
inline Line::typAlign AlignmentOf(wchar_t mark) {
  if (mark == L'=') return Line::alCenter;
  return mark == L'>' ? Line::alRight : Line::alLeft;
}

// What follows the mark of a field placeholder ("$", "$$", "&" or "&&"): the
// field number, an optional alignment mark and the stretch of the line that
// the field's columns cover.
struct FieldColumns {
  long number = 0;  // the digits' value, 0 without digits
  Line::typAlign align = Line::alLeft;
  int stretch = 0;     // the first column after the digits and the mark
  int stretchEnd = 0;  // the "?", "$", "&" or terminating zero that ends it
  int last = 0;        // the field's last column
};

// Reads the field number, alignment mark and stretch from text[pos] on, in a
// zero-terminated line of length characters. The stretch runs to the next "?" (the field's last
// column), or to the column before the next "$" or "&", or to the end of the
// line; a placeholder at the end of the line is as wide as itself.
FieldColumns ScanFieldColumns(const wchar_t* text, int pos, int length);

// What follows the symbol of a macro field placeholder: an optional alignment
// mark right after it, and the field's last column.
struct MacroColumns {
  Line::typAlign align = Line::alLeft;  // with a mark right after the symbol
  int last = 0;
  bool closed = false;  // the symbol again stands at last and closes the field
};

// Reads the columns of the macro field whose symbol stands at text[first]:
// after the symbol and its mark, the symbol again closes the field; a run of
// spaces widens it up to a closing symbol (included) or to its last space;
// anything else leaves the field as wide as the symbol and its mark.
MacroColumns ScanMacroColumns(const wchar_t* text, int first);

// Whether a numbered field placeholder, as rendering reads it, starts at
// text[i]: "$" or "&" before a digit, or doubled before a digit.
inline bool StartsNumberedField(const wchar_t* text, int i) {
  const wchar_t c = text[i];
  if (c != L'$' && c != L'&') return false;
  return IsDecimalDigit(text[i + 1]) || (text[i + 1] == c && IsDecimalDigit(text[i + 2]));
}

enum class SubstitutionKind { kNone, kDate, kDateTime, kHeaderFirst, kRecordSegment };

// An "@" substitution: its kind, the field number for "@n" and "@@n", and the
// column just after it.
struct Substitution {
  SubstitutionKind kind = SubstitutionKind::kNone;
  long number = 0;
  int end = 0;
};

// Reads the substitution whose "@" stands at text[at]: "@D", "@T", "@" and
// digits, and, when recordSegments is set, "@@" and digits. kNone when the
// "@" starts none of them.
Substitution ScanSubstitution(const wchar_t* text, int at, bool recordSegments);

}  // namespace vexo
