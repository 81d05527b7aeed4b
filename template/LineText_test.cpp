// Tab expansion and break characters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "template/Line.h"
#include "template/RasdelTable.h"

namespace {

std::wstring Expand(const std::wstring& source) {
  wchar_t copy[vexo::kLineBuffer];
  Line::DelTab(source.c_str(), copy);
  return copy;
}

TEST(DelTab, CopyNeverExceedsTheLine) {
  for (int length = vexo::kLineMax - 1; length <= vexo::kLineMax; ++length) {
    EXPECT_EQ(Expand(std::wstring(static_cast<size_t>(length), L'x')).size(),
              static_cast<size_t>(length));
  }
  // 36 spaces per 8 tabs: 912 tabs give 4104 spaces, cut to the line's size.
  for (int tabs : {912, 4095}) {
    const std::wstring copy = Expand(std::wstring(static_cast<size_t>(tabs), L'\t') + L"x");
    EXPECT_EQ(copy.size(), static_cast<size_t>(vexo::kLineMax)) << tabs;
  }
  EXPECT_EQ(Expand(std::wstring(903, L'\t') + L"x").size(), 4068u);
}

// The break characters are those of Rasdel, whatever it points to, ASCII
// or not; the terminating zero is never one.
TEST(IsRasdel, BreakCharactersFollowRasdel) {
  const wchar_t* const saved = Line::Rasdel;
  for (const wchar_t* set : {saved, L"-\x2014", L"\x2014", saved}) {
    Line::Rasdel = set;
    std::vector<wchar_t> probes = {0x2014, 0x41F, static_cast<wchar_t>(-1)};
    for (wchar_t c = 0; c < 128; ++c) probes.push_back(c);
    for (const wchar_t c : probes) {
      const bool expected = c != 0 && std::wstring(set).find(c) != std::wstring::npos;
      EXPECT_EQ(Line::IsRasdel(c), expected) << static_cast<int>(c);
    }
  }
  Line::Rasdel = saved;
}

// The wrap's search for the last break character takes eight columns at a
// time; it must find what the column-by-column search finds in every window
// of lines that hold breaks at every distance, none, or one outside ASCII,
// with sets that hold the last ASCII character or one beyond.
TEST(IsRasdel, LastBreakInEveryWindowAsColumnByColumn) {
  const wchar_t* const saved = Line::Rasdel;
  const std::vector<std::wstring> lines = {
      L"abcdefghijklmnopqrstuvwxyz0123456789",
      L"a b,cc?ddd!eeee;fffff)gggggg]hhhhhhh iiiiiiii jjjjjjjjj k",
      L" ,?!;)] ,?!;)]",
      std::wstring(L"x\x2014yy") + wchar_t(-1) + L"\x41F" + wchar_t(0x80) + wchar_t(0x100 + L' ') +
          L"zzzzzzzzzzzz-",
  };
  for (const wchar_t* set : {saved, L"-", L"-\x7f", L"-\x2014"}) {
    Line::Rasdel = set;
    const vexo::RasdelTable& breaks = vexo::RasdelTable::Current();
    for (const std::wstring& line : lines) {
      const int size = static_cast<int>(line.size());
      for (int first = 0; first < size; ++first) {
        for (int last = first - 1; last < size; ++last) {
          EXPECT_EQ(breaks.LastBreakBlocks(line.c_str(), first, last),
                    breaks.LastBreakPlain(line.c_str(), first, last))
              << static_cast<int>(line.size()) << " " << first << " " << last;
        }
      }
    }
  }
  Line::Rasdel = saved;
}

}  // namespace
