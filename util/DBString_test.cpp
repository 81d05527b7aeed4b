#include "DBString.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

TEST(DBStringUtf8, ConvertsValidTextAndMarksAnyFault) {
  const std::pair<const char*, std::wstring> cases[] = {
      {"", L""}, {"abc", L"abc"}, {"\xD0\x96\xD1\x91", L"\x0416\x0451"}, {"\xF0\x9F\x98\x80", L"\x1F600"},
      {"\xF4\x8F\xBF\xBF", L"\x10FFFF"}, {"\xEF\xBB\xBFx", L"\xFEFFx"}, {"\x80", L"?utf-32?"},
      {"a\x80z", L"?utf-32?"}, {"ab\xD0", L"?utf-32?"}, {"\xF4\x90\x80\x80", L"?utf-32?"},
      {"\xC0\x80", L"?utf-32?"}};
  for (const auto& [bytes, expected] : cases) {
    EXPECT_EQ(DBString(bytes), expected) << bytes;
    EXPECT_EQ(DBString(std::string(bytes)), expected) << bytes;
    EXPECT_EQ(DBString(L"<") += bytes, L"<" + expected) << bytes;
  }
  EXPECT_TRUE(DBString(static_cast<const char*>(nullptr)).empty());
  EXPECT_EQ(DBString(std::string("ab\0cd", 5)), L"ab");
  EXPECT_EQ(DBString(L"a\x0416\x10FFFF").ToStr(), "a\xD0\x96\xF4\x8F\xBF\xBF");
  EXPECT_EQ(DBString(std::wstring(L"x") + wchar_t(0x110000)).ToStr(), "?utf-8?");
  EXPECT_EQ(DBString(std::wstring(1, wchar_t(-1))).ToStr(), "?utf-8?");
}

TEST(DBStringUtf16, CopiesUnitsWithoutCombiningSurrogates) {
  const char16_t text[] = {u'A', 0xD83D, 0xDE00, 0, u'B'};
  EXPECT_EQ(DBString(text), L"A\xD83D\xDE00");
  EXPECT_TRUE(DBString(static_cast<const char16_t*>(nullptr)).empty());
  for (int n = -1; n <= 5; ++n) EXPECT_EQ(DBString(text, n), std::wstring(text, text + std::max(n, 0))) << n;
  EXPECT_EQ(DBString(L"a\x1F600\xFFFF").ToU16(), std::u16string(u"a\xF600\xFFFF"));
}

TEST(DBStringCP1251, ConvertsBothWaysAndStopsAtUnmappedCharactersAndBufferEnds) {
  EXPECT_EQ(DBString().FromCP1251("\xC0\xE1\xA8 A"), L"\x0410\x0431\x0401 A");
  for (int b = 1; b < 256; ++b) {  // 0x98 has no mapping
    const char in[] = {static_cast<char>(b), 0};
    EXPECT_EQ(DBString().FromCP1251(in).ToCP1251(), b == 0x98 ? "" : in) << b;
  }
  EXPECT_EQ(DBString(L"ab\x4E2D" L"cd").ToCP1251(), "ab");
  EXPECT_EQ(DBString(std::wstring(L"ab\0cd", 5)).ToCP1251(), "ab");
  EXPECT_TRUE(DBString(L"old").FromCP1251(nullptr).empty());
  for (size_t n : {0, 127, 128, 129, 600}) {
    EXPECT_EQ(DBString().FromCP1251(std::string(n, 'a').c_str()).size(), std::min<size_t>(n, 128)) << n;
  }
  for (size_t n : {1023, 1024, 1025, 4000}) {
    EXPECT_EQ(DBString(std::wstring(n, L'a')).ToCP1251().size(), std::min<size_t>(n, 1024)) << n;
  }
}

TEST(DBStringFormat, FormatsReplacesAppendsAndBounds) {
  DBString s(L"old");
  EXPECT_EQ(s.Format(L"%d-%ls", 42, L"x"), L"42-x");
  EXPECT_EQ(s.AppendFormat(L"+%03u", 7u), L"42-x+007");
  EXPECT_TRUE(s.Format(nullptr).empty());
  for (size_t n : {32766, 32767, 32768, 40000}) {
    s.Format(L"%ls", std::wstring(n, L'z').c_str());
    EXPECT_EQ(s, std::wstring(n <= 32767 ? n : s.size(), L'z')) << n;
    EXPECT_LE(s.size(), 32767u) << n;
  }
}

TEST(DBStringAccess, CutsAndSearchesRespectIndexBounds) {
  const DBString s(L"abcde");
  const std::tuple<int, int, const wchar_t*> subs[] = {{2, -1, L"cde"}, {5, 1, L""},     {4, 1, L"e"},
                                                       {-1, 2, L""},    {0, 5, L"abcde"}, {1, 100, L"bcde"}};
  for (const auto& [start, count, expected] : subs) EXPECT_EQ(s.SubStr(start, count), expected) << start;
  const std::pair<int, const wchar_t*> lefts[] = {
      {-1, L"abcde"}, {0, L""}, {4, L"abcd"}, {5, L"abcde"}, {6, L"abcde"}};
  for (const auto& [n, expected] : lefts) EXPECT_EQ(s.Left(n), expected) << n;
  const DBString d(L"a1b1");
  const int found[] = {-1, 1, 1, 3, 3, -1, -1};
  for (int from = -1; from <= 5; ++from) EXPECT_EQ(d.Find(L'1', from), found[from + 1]) << from;
  const std::tuple<const wchar_t*, int, int> strings[] = {
      {L"1b", 0, 1}, {L"1b", 2, -1}, {L"", 4, 4}, {L"", 5, -1}, {nullptr, 0, -1}, {L"a", -1, -1}};
  for (const auto& [what, from, expected] : strings) EXPECT_EQ(d.Find(what, from), expected) << from;
  EXPECT_EQ(d.ReverseFind(L'1'), 3);
  EXPECT_EQ(DBString().ReverseFind(L'a'), -1);
  const bool digits[] = {false, false, true, false, true, false};
  for (int i = -1; i <= 4; ++i) EXPECT_EQ(d.IsDigit(i), digits[i + 1]) << i;
}

TEST(DBStringEdit, TrimRemovesOnlySpacesAndTrimArgOneQuoteEachEnd) {
  const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
      {L"   ", L"", L""},           {L"  \"  ", L"\"", L""},       {L" \"word\" ", L"\"word\"", L"word"},
      {L"\"\"x\"\"", L"\"\"x\"\"", L"\"x\""}, {L"\tx \t ", L"\tx \t", L"\tx \t"}, {L"a b", L"a b", L"a b"}};
  for (const auto& [in, trim, trim_arg] : cases) {
    EXPECT_EQ(DBString(in).Trim(), trim) << in;
    EXPECT_EQ(DBString(in).TrimArg(), trim_arg) << in;
  }
}

TEST(DBStringEdit, ParseSplitsAtEveryDelimiterAndRefusesAnEmptyOne) {
  const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
      {L"a;;b;", L";", L"a||b|"}, {L"", L";", L""},         {L";", L";", L"|"},     {L"abc", L";", L"abc|"},
      {L"x::y::", L"::", L"x|y|"}, {L"x:y", L"::", L"x:y|"}, {L"a;b", L"", L""}, {L"a;b", nullptr, L""}};
  for (const auto& [text, delim, joined] : cases) {
    std::vector<DBString> parts(3, DBString(L"stale"));
    const long count = DBString(text).Parse(delim, parts);
    EXPECT_EQ(count, static_cast<long>(parts.size())) << text;
    EXPECT_EQ(DBString(L"|", parts), joined) << text;
  }
}

TEST(DBStringEdit, ReplaceNeverSearchesInsertedTextAndRefusesAnEmptyPattern) {
  const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*, int, const wchar_t*> cases[] = {
      {L"aba", L"a", L"aa", 2, L"aabaa"}, {L"aaa", L"aa", L"a", 1, L"aa"}, {L"abcabc", L"bc", L"", 2, L"aa"},
      {L"abc", L"b", nullptr, 1, L"ac"},  {L"abc", L"x", L"y", 0, L"abc"}, {L"abc", L"", L"y", 0, L"abc"},
      {L"abc", nullptr, L"y", 0, L"abc"}};
  for (const auto& [text, from, to, count, result] : cases) {
    DBString s(text);
    EXPECT_EQ(s.Replace(from, to), count) << text;
    EXPECT_EQ(s, result) << text;
  }
}

TEST(DBStringEdit, JoinAndSearchForm) {
  EXPECT_TRUE(DBString(L",", {}).empty());
  EXPECT_EQ(DBString(L", ", {DBString(L"a"), DBString(std::wstring(L"b\0c", 3))}), L"a, b, ");
  EXPECT_EQ(DBString(L"\x2116 5").ForFind(), L"N5");
  EXPECT_EQ(DBString(L"\x0401\x0451 \tx\n").ForFind(), L"\x0415\x0451x\n");
}

TEST(DBStringOperators, ConcatenationForEveryOperandPairStopsAtZero) {
  using namespace std::string_literals;  // std::wstring results compare whole, not up to a zero
  for (const DBString& s : {DBString(L"ab"), DBString(L"ab\0zz"s)}) {
    EXPECT_EQ(s + DBString(L"c"), L"abc"s);
    EXPECT_EQ(s + L"c", L"abc"s);
    EXPECT_EQ(L"c" + s, L"cab"s);
    EXPECT_EQ(s + L'c', L"abc"s);
    EXPECT_EQ(L'c' + s, L"cab"s);
    EXPECT_EQ(s + "\xD0\x96", L"ab\x0416"s);
    EXPECT_EQ("\xD0\x96" + s, L"\x0416" L"ab"s);
    EXPECT_EQ(s + "\x80", L"ab?utf-32?"s);
  }
}

TEST(DBStringOperators, ComparisonsForEveryOperandPair) {
  // The results of ==, !=, <, >, <=, >= in that order.
  auto all = [](const auto& a, const auto& b) {
    return std::vector<bool>{a == b, a != b, a < b, a > b, a <= b, a >= b};
  };
  const std::vector<bool> less = {0, 1, 1, 0, 1, 0}, greater = {0, 1, 0, 1, 0, 1}, equal = {1, 0, 0, 0, 1, 1};
  const DBString lo(L"ab"), hi(L"ac"), cut(std::wstring(L"ab\0c", 4));
  const std::vector<std::vector<bool>> got = {
      all(lo, hi),    all(hi, lo),    all(lo, DBString(L"ab")),  // DBString, DBString
      all(lo, L"ac"), all(hi, L"ab"), all(lo, L"ab"),            // DBString, const wchar_t*
      all(L"ab", hi), all(L"ac", lo), all(L"ab", lo),            // const wchar_t*, DBString
      all(cut, lo),   all(DBString(L"\x10FFFF"), L"\xFFFF")};
  const std::vector<std::vector<bool>> want = {less, greater, equal, less,  greater, equal,
                                               less, greater, equal, equal, greater};
  EXPECT_EQ(got, want);
}

}  // namespace
