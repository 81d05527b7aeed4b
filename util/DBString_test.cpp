#include "util/DBString.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace {

// std::wstring results compare whole, not up to a zero.
using std::string_literals::operator""s;

TEST(DBStringUtf8, ConvertsValidTextAndMarksAnyFault) {
  // clang-format off
  const std::pair<std::string, std::wstring> cases[] = {
      {"", L""}, {"ab\0cd"s, L"ab"}, {"\xD0\x96\xD1\x91", L"\x0416\x0451"}, {"\xF0\x9F\x98\x80", L"\x1F600"},
      {"\xF4\x8F\xBF\xBF", L"\x10FFFF"}, {"\xEF\xBB\xBFx", L"\xFEFFx"}, {"\x80z", L"?utf-32?"},
      {"ab\xD0", L"?utf-32?"}, {"\xF4\x90\x80\x80", L"?utf-32?"}, {"\xC0\x80", L"?utf-32?"}};
  // clang-format on
  for (const auto& [bytes, expected] : cases) {
    EXPECT_EQ(DBString(bytes.c_str()), expected) << bytes;
    EXPECT_EQ(DBString(bytes), expected) << bytes;
    EXPECT_EQ(DBString(L"<") += bytes.c_str(), L"<" + expected) << bytes;
  }
  EXPECT_TRUE(DBString(static_cast<const char*>(nullptr)).empty());
  EXPECT_EQ(DBString(L"a\x0416\x10FFFF").ToStr(), "a\xD0\x96\xF4\x8F\xBF\xBF");
  for (int bad : {0x110000, -1})
    EXPECT_EQ(DBString(L"x"s + wchar_t(bad)).ToStr(), "?utf-8?") << bad;
}

TEST(DBStringUtf16, CopiesUnitsWithoutCombiningSurrogates) {
  const char16_t text[] = {u'A', 0xD83D, 0xDE00, 0, u'B'};
  EXPECT_EQ(DBString(text), L"A\xD83D\xDE00"s);
  EXPECT_TRUE(DBString(static_cast<const char16_t*>(nullptr)).empty());
  for (int n = -1; n <= 5; ++n)
    EXPECT_EQ(DBString(text, n), std::wstring(text, text + std::max(n, 0))) << n;
  EXPECT_EQ(DBString(L"a\x1F600\xFFFF").ToU16(), u"a\xF600\xFFFF"s);
}

TEST(DBStringCP1251, RoundTripsEveryMappedByteAndStopsAtUnmappedCharactersAndBufferEnds) {
  EXPECT_EQ(DBString().FromCP1251("\xC0\xE1\xA8 A"), L"\x0410\x0431\x0401 A"s);
  for (int b = 1; b < 256; ++b) {  // 0x98 has no mapping
    const char in[] = {static_cast<char>(b), 0};
    EXPECT_EQ(DBString().FromCP1251(in).ToCP1251(), b == 0x98 ? "" : in) << b;
  }
  for (wchar_t stop : {L'\x4E2D', L'\0'})
    EXPECT_EQ(DBString(L"ab"s + stop + L"cd").ToCP1251(), "ab") << stop;
  EXPECT_TRUE(DBString(L"old").FromCP1251(nullptr).empty());
  for (size_t n :
       {0, 127, 128, 129, 1023, 1024, 1025, 4000}) {  // 128 characters in, 1024 bytes out
    EXPECT_EQ(DBString().FromCP1251(std::string(n, 'a').c_str()).size(), std::min<size_t>(n, 128))
        << n;
    EXPECT_EQ(DBString(std::wstring(n, L'a')).ToCP1251().size(), std::min<size_t>(n, 1024)) << n;
  }
}

TEST(DBStringFormat, ReplacesOrAppendsAtMost32767Characters) {
  DBString s(L"old");
  EXPECT_EQ(s.Format(L"%d-%ls", 42, L"x").AppendFormat(L"+%03u", 7u), L"42-x+007"s);
  EXPECT_TRUE(s.Format(nullptr).empty());
  for (size_t n : {32766, 32767, 32768, 40000}) {
    s.Format(L"%ls", std::wstring(n, L'z').c_str());
    EXPECT_EQ(s, std::wstring(n <= 32767 ? n : s.size(), L'z')) << n;
    EXPECT_LE(s.size(), 32767u) << n;
  }
}

TEST(DBStringAccess, CutsAndSearchesHonourIndexBounds) {
  const DBString s(L"a1b1");
  const std::wstring rest[] = {L"", L"a1b1", L"1b1", L"b1", L"1", L"", L""};  // by start, -1 to 5
  const wchar_t* lefts[] = {L"a1b1", L"", L"a", L"a1", L"a1b", L"a1b1", L"a1b1"};
  const int found[] = {-1, 1, 1, 3, 3, -1, -1};
  for (int i = -1; i <= 5; ++i) {
    EXPECT_EQ(s.SubStr(i, -1), rest[i + 1]) << i;
    EXPECT_EQ(s.SubStr(i, 2), rest[i + 1].substr(0, 2)) << i;
    EXPECT_EQ(s.Left(i), lefts[i + 1]) << i;
    EXPECT_EQ(s.Find(L'1', i), found[i + 1]) << i;
    EXPECT_EQ(s.IsDigit(i), i == 1 || i == 3) << i;
  }
  const std::tuple<const wchar_t*, int, int> strings[] = {
      {L"1b", 0, 1}, {L"1b", 2, -1}, {L"", 4, 4}, {L"", 5, -1}, {nullptr, 0, -1}, {L"a", -1, -1}};
  for (const auto& [what, from, expected] : strings)
    EXPECT_EQ(s.Find(what, from), expected) << from;
  EXPECT_EQ(std::make_pair(s.ReverseFind(L'1'), DBString().ReverseFind(L'a')),
            std::make_pair(3, -1));
}

TEST(DBStringEdit, TrimAndSearchFormDropOnlyTheirOwnCharacters) {
  // The text, then Trim, TrimArg and ForFind of it.
  // clang-format off
  const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
      {L"   ", L"", L"", L""}, {L"  \"  ", L"\"", L"", L"\""}, {L" \"w\" ", L"\"w\"", L"w", L"\"w\""},
      {L"\"\"x\"\"", L"\"\"x\"\"", L"\"x\"", L"\"\"x\"\""}, {L"\tx \t ", L"\tx \t", L"\tx \t", L"x"},
      {L"\x2116 \x0401\x0451\n", L"\x2116 \x0401\x0451\n", L"\x2116 \x0401\x0451\n", L"N\x0415\x0451\n"}};
  // clang-format on
  for (const auto& [in, trim, trimArg, forFind] : cases) {
    EXPECT_EQ(DBString(in).Trim(), trim) << in;
    EXPECT_EQ(DBString(in).TrimArg(), trimArg) << in;
    EXPECT_EQ(DBString(in).ForFind(), forFind) << in;
  }
}

TEST(DBStringEdit, ParseSplitsAtEveryDelimiterAndRefusesAnEmptyOneJoinEndsEachItem) {
  const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
      {L"a;;b;", L";", L"a||b|"},  {L"", L";", L""},
      {L";", L";", L"|"},          {L"abc", L";", L"abc|"},
      {L"x::y::", L"::", L"x|y|"}, {L"x:y", L"::", L"x:y|"},
      {L"a;b", L"", L""},          {L"a;b", nullptr, L""}};
  for (const auto& [text, delim, joined] : cases) {
    std::vector<DBString> parts(3, DBString(L"stale"));
    const long count = DBString(text).Parse(delim, parts);
    EXPECT_EQ(count, static_cast<long>(parts.size())) << text;
    EXPECT_EQ(DBString(L"|", parts), joined) << text;
  }
  EXPECT_EQ(DBString(L", ", {DBString(L"a"), DBString(L"b\0c"s)}), L"a, b, "s);
}

TEST(DBStringEdit, ReplaceNeverSearchesInsertedTextAndRefusesAnEmptyPattern) {
  const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*, int, const wchar_t*> cases[] = {
      {L"aba", L"a", L"aa", 2, L"aabaa"}, {L"aaa", L"aa", L"a", 1, L"aa"},
      {L"abcabc", L"bc", L"", 2, L"aa"},  {L"abc", L"b", nullptr, 1, L"ac"},
      {L"abc", L"x", L"y", 0, L"abc"},    {L"abc", L"", L"y", 0, L"abc"},
      {L"abc", nullptr, L"y", 0, L"abc"}};
  for (const auto& [text, from, to, count, result] : cases) {
    DBString s(text);
    EXPECT_EQ(s.Replace(from, to), count) << text;
    EXPECT_EQ(s, result) << text;
  }
}

TEST(DBStringOperators, EveryOperandPairJoinsAndComparesUpToTheFirstZero) {
  const DBString cut(L"ab\0zz"s), ac(L"ac");
  for (const DBString& ab : {DBString(L"ab"), cut}) {  // joined whole: text past a zero would show
    const std::wstring all = std::wstring(ab + ab) + (ab + L"c") + (ab + L'c') + (ab + "\xD0\x96") +
                             (L"c" + ab) + (L'c' + ab) + ("\x80" + ab);
    EXPECT_EQ(all,
              L"abababcabcab\x0416"
              L"cabcab?utf-32?ab"s)
        << ab.size();
  }
  // ==, !=, <, >, <=, >= as digits for each pair of operand types: less, greater, equal.
  auto row = [](const auto& a, const auto& b) {
    return std::string{"01"[a == b], "01"[a != b], "01"[a < b],
                       "01"[a > b],  "01"[a <= b], "01"[a >= b]};
  };
  const std::string less = "011010", greater = "010101", equal = "100011";
  EXPECT_EQ(row(cut, ac) + row(ac, cut) + row(cut, DBString(L"ab")), less + greater + equal);
  EXPECT_EQ(row(cut, L"ac") + row(ac, L"ab") + row(cut, L"ab"), less + greater + equal);
  EXPECT_EQ(row(L"ab", ac) + row(L"ac", cut) + row(L"ab", cut), less + greater + equal);
  EXPECT_EQ(
      row(DBString(L"\xFFFF"), L"\x10FFFF") + row(DBString(), static_cast<const wchar_t*>(nullptr)),
      less + equal);
}

}  // namespace
