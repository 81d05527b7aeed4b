// The wrap scan's table of break characters.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cwchar>

#include "template/Line.h"
#include "util/Lanes.h"

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
    if (c > 0 && static_cast<uint32_t>(c) < kNotAscii) return m_Ascii[c];
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
      if (*p > 0 && static_cast<uint32_t>(*p) < kNotAscii) {
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
