// One line of a loaded blank part, and the rendering of text lines.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <string>

#include "util/Lanes.h"

class FieldTab;

// The working line holds at most kLineMax characters and a terminating zero.
namespace vexo {
constexpr int kLineMax = 4095;
constexpr int kLineBuffer = kLineMax + 1;
}  // namespace vexo

// A plain record filled by the loader and walked by Blank::Next. Only text
// lines (m_Type 0) are rendered; their text is read from the blank file at
// m_FilePos (a line rendered before may be served from what that reading
// kept, LineCache.h). DelTab, ExpandTabs and Rasdel are defined in
// LineText.cpp; ConvStr and PutPol in LineConvStr.cpp.
class Line {
 public:
  enum typAlign { alLeft = 0, alCenter = 1, alRight = 2 };
  enum Kind { kText = 0, kLabel = 1, kJump = 2, kRepeat = 3, kMacro = 4 };

  int m_Type = kText;
  long m_Next = 0;         // next index, label number, jump target or 0
  short m_BlockLines = 0;  // repeat line: text lines in the block
  short m_Repeat = 0;      // repeat line: passes; block end: passes to come
  long m_Field = 0;        // jump line: tested field
  int m_IsRcd = 0;         // jump line: 1 record field, 0 header field
  int m_Cond = 0;          // jump line: 0 always, 1 with "^", 2 without
  int m_Cycle = 0;         // cycle check pass mark
  size_t m_LastOst = 0;    // cycle check remainder total
  long m_FilePos = 0;      // byte offset of the line in the part file

  // Reads the line from Blank::m_File, expands its tabs and fills its
  // placeholders from the field tables; the result has no line end. Consumes
  // field text and advances Tbl::CountList for counters. The reader is left
  // after the line.
  std::wstring ConvStr();
  // The same rendering into text, which holds kLineBuffer characters; returns
  // the length, the text zero-terminated there. Writing a line from a buffer
  // of the caller's costs no copy into a string.
  int ConvStr(wchar_t* text);

  // Copies src into dst (kLineBuffer characters) without trailing spaces and
  // line feeds, every tab at source index k becoming 8 - k % 8 spaces. The
  // copy stops at kLineMax characters.
  static void DelTab(const wchar_t* src, wchar_t* dst);
  // DelTab, returning the length of the copy.
  static size_t ExpandTabs(const wchar_t* src, wchar_t* dst);
  // ExpandTabs for a src whose length (up to its first zero) is known.
  static size_t ExpandTabs(const wchar_t* src, size_t length, wchar_t* dst);
  // Whether c is one of the break characters of Rasdel, at which an
  // overlong value may wrap; false for the terminating zero.
  static bool IsRasdel(wchar_t c);
  // Fills columns first..last of line from the current field of tab,
  // aligned; an overlong value is cut (cut) or wrapped at a break character,
  // the characters that did not fit staying in the field.
  void PutPol(wchar_t* line, typAlign align, int first, int last, FieldTab* tab, bool cut);

  static const wchar_t* Rasdel;
};

namespace vexo {

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
  // The last column of line[first, last] that holds a break character, or
  // first - 1 when none does: where the wrap gives a word back.
  int LastBreak(const wchar_t* line, int first, int last) const {
    return kFastPaths ? LastBreakBlocks(line, first, last) : LastBreakPlain(line, first, last);
  }
  // Column by column from the right.
  int LastBreakPlain(const wchar_t* line, int first, int last) const {
    int q = last;
    while (q >= first && !Has(line[q])) --q;
    return q;
  }
  // Eight columns at a time from the right, each tested by the table without
  // a branch of its own, so that the end of a word of up to seven characters
  // costs no mispredicted branch; the columns left of the last whole block,
  // and every line when a break character lies outside ASCII, go one by one.
  int LastBreakBlocks(const wchar_t* line, int first, int last) const {
    if (m_Others) return LastBreakPlain(line, first, last);
    int q = last;
    for (; q - 7 >= first; q -= 8) {
      const wchar_t* block = line + q - 7;
      unsigned bits = 0;
      for (int k = 0; k < 8; ++k) {
        const uint32_t c = std::min(static_cast<uint32_t>(block[k]), uint32_t{kNotAscii});
        bits |= static_cast<unsigned>(m_Ascii[c]) << k;
      }
      if (bits != 0) return q - 7 + (31 - __builtin_clz(bits));
    }
    return LastBreakPlain(line, first, q);
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
  // Every character outside ASCII is looked up here, as no break.
  static constexpr uint32_t kNotAscii = 128;
  bool m_Ascii[kNotAscii + 1] = {};
  bool m_Others = false;
};

}  // namespace vexo

inline bool Line::IsRasdel(wchar_t c) { return vexo::RasdelTable::Current().Has(c); }
