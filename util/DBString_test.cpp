#include "DBString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(DBStringUtf8, DecodesValidTextAndMarksAnyFault) {
  struct Case {
    const char* bytes;
    std::wstring expected;
  } cases[] = {
      {nullptr, L""},
      {"", L""},
      {"abc", L"abc"},
      {"\xD0\x96\xD1\x91", L"\x0416\x0451"},
      {"\xF0\x9F\x98\x80", L"\x1F600"},
      {"\xF4\x8F\xBF\xBF", L"\x10FFFF"},
      {"\xEF\xBB\xBFx", L"\xFEFFx"},
      {"\x80", L"?utf-32?"},
      {"a\x80z", L"?utf-32?"},
      {"ab\xD0", L"?utf-32?"},
      {"\xF4\x90\x80\x80", L"?utf-32?"},
      {"\xC0\x80", L"?utf-32?"},
  };
  for (const Case& c : cases) {
    const char* shown = c.bytes ? c.bytes : "(null)";
    EXPECT_EQ(std::wstring(DBString(c.bytes)), c.expected) << shown;
    if (c.bytes == nullptr) continue;
    EXPECT_EQ(std::wstring(DBString(std::string(c.bytes))), c.expected) << shown;
    DBString appended(L"<");
    appended += c.bytes;
    EXPECT_EQ(std::wstring(appended), L"<" + c.expected) << shown;
  }
  EXPECT_EQ(std::wstring(DBString(std::string("ab\0cd", 5))), L"ab");
}

TEST(DBStringUtf8, EncodesUpToTheLastCodePoint) {
  EXPECT_EQ(DBString(L"a\x0416\x1F600").ToStr(), "a\xD0\x96\xF0\x9F\x98\x80");
  EXPECT_EQ(DBString(L"").ToStr(), "");
  for (wchar_t last : {0x10FFFE, 0x10FFFF, 0x110000}) {
    std::string out = DBString(std::wstring(L"x") + last).ToStr();
    if (last <= 0x10FFFF) {
      EXPECT_EQ(DBString(out), std::wstring(L"x") + last);
    } else {
      EXPECT_EQ(out, "?utf-8?");
    }
  }
  EXPECT_EQ(DBString(std::wstring(1, static_cast<wchar_t>(-1))).ToStr(), "?utf-8?");
}

TEST(DBStringUtf16, CopiesUnitsWithoutCombiningSurrogates) {
  const char16_t text[] = {u'A', 0xD83D, 0xDE00, 0, u'B'};
  EXPECT_EQ(std::wstring(DBString(text)), std::wstring(L"A\xD83D\xDE00"));
  EXPECT_EQ(DBString(static_cast<const char16_t*>(nullptr)).size(), 0u);
  for (int n = -1; n <= 5; ++n) {
    std::wstring expected;
    for (int i = 0; i < n; ++i) expected.push_back(text[i]);
    EXPECT_EQ(std::wstring(DBString(text, n)), expected) << n;
  }
  EXPECT_EQ(DBString(std::wstring(L"a\x1F600\xFFFF")).ToU16(), std::u16string(u"a\xF600\xFFFF"));
}

TEST(DBStringCP1251, EveryMappedByteGoesThereAndBack) {
  EXPECT_EQ(std::wstring(DBString().FromCP1251("\xC0\xE1\xA8 A")), L"\x0410\x0431\x0401 A");
  EXPECT_EQ(DBString(L"\x0410\x0431\x0401 A").ToCP1251(), "\xC0\xE1\xA8 A");
  int mapped = 0;
  for (int b = 1; b < 256; ++b) {
    const char in[] = {static_cast<char>(b), 0};
    DBString wide;
    wide.FromCP1251(in);
    if (wide.empty()) continue;
    ++mapped;
    ASSERT_EQ(wide.size(), 1u) << b;
    EXPECT_EQ(wide.ToCP1251(), std::string(in)) << b;
  }
  EXPECT_GE(mapped, 254);
}

TEST(DBStringCP1251, StopsAtTheFirstUnmappedCharacter) {
  EXPECT_EQ(DBString(L"ab\x4E2D" L"cd").ToCP1251(), "ab");
  EXPECT_EQ(DBString(std::wstring(L"ab\0cd", 5)).ToCP1251(), "ab");
  EXPECT_EQ(DBString(std::wstring(L"ab") + static_cast<wchar_t>(0x110000)).ToCP1251(), "ab");
  DBString kept(L"old");
  EXPECT_TRUE(kept.FromCP1251(nullptr).empty());
}

TEST(DBStringCP1251, ResultsAreBoundedToTheBuffers) {
  for (size_t n : {0, 1, 127, 128, 129, 600}) {
    DBString wide;
    wide.FromCP1251(std::string(n, 'a').c_str());
    EXPECT_EQ(wide.size(), std::min<size_t>(n, 128)) << n;
  }
  for (size_t n : {1023, 1024, 1025, 4000}) {
    EXPECT_EQ(DBString(std::wstring(n, L'a')).ToCP1251().size(), std::min<size_t>(n, 1024)) << n;
  }
}

TEST(DBStringFormat, FormatsReplacesAppendsAndBounds) {
  DBString s(L"old");
  EXPECT_EQ(std::wstring(s.Format(L"%d-%ls", 42, L"x")), L"42-x");
  EXPECT_EQ(std::wstring(s.AppendFormat(L"+%03u", 7u)), L"42-x+007");
  EXPECT_TRUE(s.Format(nullptr).empty());
  for (size_t n : {32766, 32767, 32768, 40000}) {
    std::wstring arg(n, L'z');
    s.Format(L"%ls", arg.c_str());
    EXPECT_LE(s.size(), 32767u) << n;
    if (n <= 32767) {
      EXPECT_EQ(s.size(), n);
    }
    EXPECT_EQ(s, std::wstring(s.size(), L'z'));
  }
}

TEST(DBStringAccess, SubStrAndLeftClampToTheText) {
  const DBString s(L"abcde");
  struct Case {
    int start, count;
    const wchar_t* expected;
  } subs[] = {{2, -1, L"cde"}, {5, 1, L""}, {4, 1, L"e"}, {-1, 2, L""}, {0, 0, L""},
              {0, 5, L"abcde"}, {1, 100, L"bcde"}, {6, -1, L""}};
  for (const Case& c : subs) EXPECT_EQ(s.SubStr(c.start, c.count), c.expected) << c.start << "," << c.count;
  struct LeftCase {
    int n;
    const wchar_t* expected;
  } lefts[] = {{-1, L"abcde"}, {0, L""}, {4, L"abcd"}, {5, L"abcde"}, {6, L"abcde"}};
  for (const LeftCase& c : lefts) EXPECT_EQ(s.Left(c.n), c.expected) << c.n;
}

TEST(DBStringAccess, SearchAndDigitsRespectIndexBounds) {
  const DBString s(L"a1b1");
  const int char_from[] = {-1, 0, 1, 2, 3, 4, 5};
  const int char_expected[] = {-1, 1, 1, 3, 3, -1, -1};
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(s.Find(L'1', char_from[i]), char_expected[i]) << char_from[i];
  EXPECT_EQ(s.Find(L"1b", 0), 1);
  EXPECT_EQ(s.Find(L"1b", 2), -1);
  EXPECT_EQ(s.Find(L"", 4), 4);
  EXPECT_EQ(s.Find(L"", 5), -1);
  EXPECT_EQ(s.Find(static_cast<const wchar_t*>(nullptr), 0), -1);
  EXPECT_EQ(s.Find(L"a", -1), -1);
  EXPECT_EQ(s.ReverseFind(L'1'), 3);
  EXPECT_EQ(s.ReverseFind(L'z'), -1);
  EXPECT_EQ(DBString().ReverseFind(L'a'), -1);
  const bool digits[] = {false, false, true, false, true, false};
  for (int i = -1; i <= 4; ++i) EXPECT_EQ(s.IsDigit(i), digits[i + 1]) << i;
  EXPECT_FALSE(DBString(L"\x0661/:").IsDigit(0));
}

TEST(DBStringEdit, TrimRemovesOnlySpacesAndTrimArgOneQuoteEachEnd) {
  struct Case {
    const wchar_t* in;
    const wchar_t* trim;
    const wchar_t* trim_arg;
  } cases[] = {
      {L"", L"", L""},
      {L"   ", L"", L""},
      {L"  \"  ", L"\"", L""},
      {L" \"word\" ", L"\"word\"", L"word"},
      {L"\"\"x\"\"", L"\"\"x\"\"", L"\"x\""},
      {L"\tx \t ", L"\tx \t", L"\tx \t"},
      {L"a b", L"a b", L"a b"},
  };
  for (const Case& c : cases) {
    DBString t(c.in), a(c.in);
    EXPECT_EQ(t.Trim(), c.trim) << c.in;
    EXPECT_EQ(a.TrimArg(), c.trim_arg) << c.in;
  }
}

TEST(DBStringEdit, ParseSplitsAtEveryDelimiter) {
  struct Case {
    const wchar_t* text;
    const wchar_t* delim;
    std::vector<std::wstring> parts;
  } cases[] = {
      {L"a;;b;", L";", {L"a", L"", L"b"}},
      {L"", L";", {}},
      {L";", L";", {L""}},
      {L"abc", L";", {L"abc"}},
      {L"x::y::", L"::", {L"x", L"y"}},
      {L"x:y", L"::", {L"x:y"}},
      {L"a;b", L"", {}},
      {L"a;b", nullptr, {}},
  };
  for (const Case& c : cases) {
    std::vector<DBString> parts(3, DBString(L"stale"));
    EXPECT_EQ(DBString(c.text).Parse(c.delim, parts), static_cast<long>(c.parts.size())) << c.text;
    ASSERT_EQ(parts.size(), c.parts.size()) << c.text;
    for (size_t i = 0; i < parts.size(); ++i) EXPECT_EQ(parts[i], c.parts[i].c_str()) << c.text;
  }
}

TEST(DBStringEdit, ReplaceNeverSearchesInsertedText) {
  struct Case {
    const wchar_t* text;
    const wchar_t* from;
    const wchar_t* to;
    int count;
    const wchar_t* result;
  } cases[] = {
      {L"aba", L"a", L"aa", 2, L"aabaa"},
      {L"aaa", L"aa", L"a", 1, L"aa"},
      {L"abcabc", L"bc", L"", 2, L"aa"},
      {L"abc", L"b", nullptr, 1, L"ac"},
      {L"abc", L"x", L"y", 0, L"abc"},
      {L"abc", L"", L"y", 0, L"abc"},
      {L"abc", nullptr, L"y", 0, L"abc"},
  };
  for (const Case& c : cases) {
    DBString s(c.text);
    EXPECT_EQ(s.Replace(c.from, c.to), c.count) << c.text;
    EXPECT_EQ(s, c.result) << c.text;
  }
}

TEST(DBStringEdit, JoinPutsTheSeparatorAfterEveryItem) {
  EXPECT_TRUE(DBString(L",", {}).empty());
  EXPECT_EQ(DBString(L",", {DBString(L"a")}), L"a,");
  EXPECT_EQ(DBString(L", ", {DBString(L"a"), DBString(std::wstring(L"b\0c", 3))}), L"a, b, ");
}

TEST(DBStringEdit, SearchFormAndLowerCase) {
  EXPECT_EQ(DBString(L"\x2116 5").ForFind(), L"N5");
  EXPECT_EQ(DBString(L"\x0401\x0451 \tx\n").ForFind(), L"\x0415\x0451x\n");
  EXPECT_EQ(DBString(L"AbZ1").MakeLower(), L"abz1");
  DBString c;
  c = L'q';
  EXPECT_EQ(c, L"q");
}

TEST(DBStringOperators, ConcatenationForEveryOperandPair) {
  const DBString ab(L"ab");
  const DBString cut(std::wstring(L"ab\0zz", 5));
  EXPECT_EQ(ab + DBString(L"c"), L"abc");
  EXPECT_EQ(ab + L"c", L"abc");
  EXPECT_EQ(L"c" + ab, L"cab");
  EXPECT_EQ(ab + L'c', L"abc");
  EXPECT_EQ((L'c' + ab).size(), 3u);
  EXPECT_EQ(L'c' + ab, L"cab");
  EXPECT_EQ(ab + "\xD0\x96", L"ab\x0416");
  EXPECT_EQ("\xD0\x96" + ab, L"\x0416" L"ab");
  EXPECT_EQ(ab + "\x80", L"ab?utf-32?");
  EXPECT_EQ(cut + cut, L"abab");
  EXPECT_EQ((cut + L'c').size(), 3u);
  EXPECT_EQ((L"c" + cut).size(), 3u);
}

TEST(DBStringOperators, ComparisonsForEveryOperandPair) {
  const DBString lo(L"ab"), hi(L"ac");
  const wchar_t* wlo = L"ab";
  const wchar_t* whi = L"ac";
  auto check = [](const auto& a, const auto& b, int order) {
    EXPECT_EQ(a == b, order == 0);
    EXPECT_EQ(a != b, order != 0);
    EXPECT_EQ(a < b, order < 0);
    EXPECT_EQ(a > b, order > 0);
    EXPECT_EQ(a <= b, order <= 0);
    EXPECT_EQ(a >= b, order >= 0);
  };
  check(lo, hi, -1), check(hi, lo, 1), check(lo, DBString(L"ab"), 0);
  check(lo, whi, -1), check(hi, wlo, 1), check(lo, wlo, 0);
  check(wlo, hi, -1), check(whi, lo, 1), check(wlo, lo, 0);
  check(DBString(std::wstring(L"ab\0c", 4)), lo, 0);
  check(DBString(L"\x10FFFF"), L"\xFFFF", 1);
}

}  // namespace
