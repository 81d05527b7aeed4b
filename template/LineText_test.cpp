// Tab expansion and break characters.
#include <gtest/gtest.h>

#include <string>

#include "template/Line.h"

namespace {

std::wstring Expand(const std::wstring& source) {
  wchar_t copy[vexo::kLineBuffer];
  Line::DelTab(source.c_str(), copy);
  return copy;
}

TEST(DelTab, TrimsAndExpands) {
  struct Case {
    std::wstring source;
    std::wstring copy;
  } cases[] = {
      {L"abc  \n", L"abc"}, {L"  \n \n", L""}, {L"", L""}, {L"abcdefg\tX", L"abcdefg X"},
      {L"a\r \n", L"a\r"},                       // carriage returns stay
      {L"a\t\n", L"a       "},                    // a trailing tab is expanded
      {L"\t\tX", std::wstring(15, L' ') + L"X"},  // stops by source index
      {L"abcdefgh\tX", L"abcdefgh        X"}, {L"a\tb\tc", L"a       b     c"},
  };
  for (const auto& c : cases) EXPECT_EQ(Expand(c.source), c.copy) << c.copy.size();
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

TEST(IsRasdel, BreakCharacters) {
  for (wchar_t c = 0; c < 128; ++c) {
    const bool expected = std::wstring(L" ,?!;)]").find(c) != std::wstring::npos && c != 0;
    EXPECT_EQ(Line::IsRasdel(c), expected) << static_cast<int>(c);
  }
}

}  // namespace
