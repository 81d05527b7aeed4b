#include "io/InputFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "util/test_scratch.h"

namespace {

// Every rule holds for both ways of reading: streaming (false) and from the
// copy in memory (true).
class InputFileTest : public testing::TestWithParam<bool> {
 protected:
  // Writes a file; its name comes back widened byte by byte, as argv's are.
  std::wstring Write(const std::string& name, const std::string& bytes) {
    return m_Dir.Write(name, bytes);
  }
  // Opens name in file the way under test.
  static bool Open(InputFile& file, const std::wstring& name) {
    return GetParam() ? file.ReadIntoMemory(name.c_str()) : file.Open(name.c_str());
  }
  // The lines GetLine delivers until it returns false; the length it gives
  // is checked on the way.
  std::vector<std::wstring> Lines(const std::string& bytes, int max) {
    InputFile file;
    Open(file, Write("lines", bytes));
    std::vector<wchar_t> buf(max + 1);
    std::vector<std::wstring> got;
    size_t length = 0;
    while (file.GetLine(buf.data(), max, length)) {
      got.emplace_back(buf.data());
      EXPECT_EQ(length, got.back().size()) << bytes;
    }
    return got;
  }
  ScratchDir m_Dir;
};

// What `calls` calls of Get deliver, -1 for each false.
std::vector<long> Chars(InputFile& file, int calls) {
  std::vector<long> got;
  for (wchar_t c = 0; calls-- > 0;) got.push_back(file.Get(c) ? long(uint32_t(c)) : -1L);
  return got;
}

// Continuation bytes give their low six bits whatever their top bits are. A
// byte that starts nothing, and a sequence cut off by the end, are consumed.
TEST_P(InputFileTest, GetDecodesByTheLeadByteAndConsumesBadBytes) {
  const std::pair<std::string, std::vector<long>> cases[] = {
      {"A\r\n\xD0\x9F\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBB\xBF\xF7\xBF\xBF\xBF",
       {0x41, 0x0D, 0x0A, 0x41F, 0x20AC, 0x1F600, 0xFEFF, 0x1FFFFF, -1, -1}},
      {std::string("\xC0\x80\xC3G\xE0\xFF\x00", 7), {0, 0xC7, 0xFC0, -1}},
      {"\x9Fz\x80\xBF\xF8\xFFz", {-1, 0x7A, -1, -1, -1, -1, 0x7A, -1}},
      {"\xE2\x82", {-1, -1}},
      {"\xF0", {-1}}};
  for (const auto& [bytes, chars] : cases) {
    InputFile file;
    Open(file, Write("get", bytes));
    EXPECT_EQ(Chars(file, static_cast<int>(chars.size())), chars) << testing::PrintToString(bytes);
  }
}

// The put-back slot holds one character, comes before the file and survives
// Open. A name opens in its widened and in its decoded form, or not at all;
// a directory does not open.
TEST_P(InputFileTest, PutBackAndOpen) {
  InputFile file;
  file.PutBack(L'x');
  file.PutBack(L'y');
  EXPECT_EQ(Chars(file, 2), (std::vector<long>{L'y', -1}));
  file.PutBack(L'z');
  const std::wstring widened = Write("\xD0\x9F", "ab");
  ASSERT_TRUE(Open(file, Write("first", "1")) && Open(file, widened));
  EXPECT_EQ(Chars(file, 4), (std::vector<long>{L'z', L'a', L'b', -1}));
  EXPECT_TRUE(Open(file, widened.substr(0, widened.size() - 2) + L"\x41F"));
  EXPECT_FALSE(Open(file, widened + wchar_t(0x200000)));
  EXPECT_FALSE(Open(file, m_Dir.WidePath(".")));
  EXPECT_EQ(Chars(file, 1), (std::vector<long>{-1}));
}

// As with a stdio stream, the end once seen stays until the position moves,
// even when the file grows: only then does a stream read what came after.
// The copy in memory holds what the file held when it was opened.
TEST_P(InputFileTest, TheEndOnceSeenStaysUntilThePositionMoves) {
  InputFile file;
  const std::wstring name = Write("growing", "ab");
  ASSERT_TRUE(Open(file, name));
  EXPECT_EQ(Chars(file, 3), (std::vector<long>{L'a', L'b', -1}));
  Write("growing", "abcd");
  EXPECT_EQ(Chars(file, 1), (std::vector<long>{-1}));
  file.SetFilePointer(2);
  const std::vector<long> after = {L'c', L'd', -1};
  EXPECT_EQ(Chars(file, 3), GetParam() ? std::vector<long>(3, -1) : after);
}

// Carriage returns are dropped and a bad byte ends a line. A line is cut at max
// characters and the one after the cut is lost, line feed or not.
TEST_P(InputFileTest, GetLineDropsCarriageReturnsStopsAtBadBytesAndCutsAtMax) {
  // clang-format off
  const std::pair<std::string, std::vector<std::wstring>> cases[] = {
      {"", {}}, {"\r", {}}, {"\n", {L"\n"}}, {"A\r\nB", {L"A\n", L"B"}},
      {"a\rb\r\r\n\r\n", {L"ab\n", L"\n"}}, {"ab\x9Fxy\n", {L"ab", L"xy\n"}},
      {"\x9Fxy\n", {}}, {"x\xE2\x82", {L"x"}},
      {"a\x7F\x80z\n", {L"a\x7F", L"z\n"}},
      {"0123456789abcd\n", {L"0123456789abcd\n"}},
      {"0123456789abcde\r\nz", {L"0123456789abcde", L"z"}},
      {std::string("a\0b\n", 4), {L"a"}}};
  constexpr int kMax = 4095;  // as the blanks are read
  const std::wstring a(kMax - 1, L'a');
  const std::vector<std::wstring> cut[] = {
      {a + L"\n", L"next\n"},        {a + L"b", L"next\n"},
      {a + L"b", L"\n", L"next\n"}, {a + L"b", L"d\n", L"next\n"}};
  // clang-format on
  for (const auto& [bytes, lines] : cases) EXPECT_EQ(Lines(bytes, 15), lines) << bytes;
  // A character in the put-back slot starts the line; a line feed there ends it.
  InputFile file;
  Open(file, Write("back", "bc\n"));
  wchar_t buf[16];
  for (const auto& [back, line] : {std::pair{L'a', L"abc\n"}, {L'\n', L"\n"}}) {
    file.SetFilePointer(0);
    file.PutBack(back);
    ASSERT_TRUE(file.GetLine(buf, 15));
    EXPECT_EQ(std::wstring(buf), line);
  }
  for (int extra = 0; extra < 4; ++extra) {
    const std::string line = std::string(kMax - 1, 'a') + std::string("bcd", extra);
    EXPECT_EQ(Lines(line + "\nnext\n", kMax), cut[extra]) << line.size() << " characters";
  }
  // A zero stored in a long line ends its text.
  const std::string zero = std::string(20, 'a') + '\0' + std::string(20, 'b') + "\n";
  EXPECT_EQ(Lines(zero, kMax), std::vector<std::wstring>{std::wstring(20, L'a')});
}

// A run ends before a stop character, decoded from one byte or from a longer
// sequence, which waits in the put-back slot; at max characters; or where
// Get fails, with ended set and the bad byte consumed. A character in the
// slot comes first, and a stop there ends the run at once.
TEST_P(InputFileTest, GetRunReadsUpToAStopAndLeavesItForGet) {
  struct Case {
    std::string bytes;
    wchar_t slot;  // 0: the slot is empty
    size_t max;
    std::wstring run;
    bool ended;
    std::vector<long> after;  // what Get delivers next
  };
  const Case cases[] = {{"abc$d", 0, 9, L"abc", false, {L'$', L'd'}},
                        {"abc", 0, 9, L"abc", true, {-1}},
                        {"", 0, 9, L"", true, {-1}},
                        {"ab\xC0\xA4z", 0, 9, L"ab", false, {L'$', L'z'}},
                        {"ab\x9Fz", 0, 9, L"ab", true, {L'z'}},
                        {"\xD0\x9Fx\\", 0, 9, L"\x41Fx", false, {L'\\', -1}},
                        {"x\r\ny", 0, 9, L"x\r", false, {L'\n', L'y'}},
                        {"abcd", 0, 2, L"ab", false, {L'c'}},
                        {"abcd", 0, 0, L"", false, {L'a'}},
                        {"ab$", L'q', 9, L"qab", false, {L'$', -1}},
                        {"ab", L'$', 9, L"", false, {L'$', L'a'}},
                        {"ab", L'q', 1, L"q", false, {L'a'}},
                        {std::string("ab\0c", 4), 0, 9, L"ab", false, {0, L'c'}}};
  const AsciiSet stops = {L'\n', L'\\', L'$', L'\0'};
  for (const Case& c : cases) {
    InputFile file;
    Open(file, Write("run", c.bytes));
    if (c.slot != 0) file.PutBack(c.slot);
    wchar_t buf[16];
    bool ended = !c.ended;
    const size_t count = file.GetRun(buf, c.max, stops, ended);
    EXPECT_EQ(std::wstring(buf, count), c.run) << c.bytes;
    EXPECT_EQ(ended, c.ended) << c.bytes;
    EXPECT_EQ(Chars(file, static_cast<int>(c.after.size())), c.after) << c.bytes;
  }
  // Where a stream's chunk ends: a sequence cut in two, a stop first in the
  // next chunk, positions on either side, a line across it.
  for (size_t pad = InputFile::kChunk - 4; pad <= InputFile::kChunk + 1; ++pad) {
    InputFile file;
    Open(file, Write("chunk", std::string(pad, 'a') + "\xE2\x82\xAC$z"));
    std::vector<wchar_t> buf(pad + 8);
    bool ended = true;
    EXPECT_EQ(file.GetRun(buf.data(), buf.size(), stops, ended), pad + 1) << pad;
    EXPECT_FALSE(ended) << pad;
    EXPECT_EQ(buf[pad], L'\x20AC') << pad;
    EXPECT_EQ(file.GetFilePointer(), static_cast<long>(pad + 4)) << pad;
    file.SetFilePointer(static_cast<long>(pad));
    EXPECT_EQ(Chars(file, 4), (std::vector<long>{L'$', 0x20AC, L'$', L'z'})) << pad;
    EXPECT_EQ(file.GetFilePointer(), static_cast<long>(pad + 5)) << pad;
    file.SetFilePointer(static_cast<long>(pad - 2));
    ASSERT_TRUE(file.GetLine(buf.data(), 15)) << pad;
    EXPECT_EQ(std::wstring(buf.data()), L"aa\x20AC$z") << pad;
  }
}

// Runs are taken many bytes at a time, in more than one way; whatever the
// bytes, a run is what Get delivers one character at a time up to the first
// stop, and reading goes on from the same place.
TEST_P(InputFileTest, GetRunDeliversWhatGetDelivers) {
  const std::vector<std::string> pieces = {"a",
                                           "b",
                                           "\xD0\xB6",
                                           "\xC2\x80",
                                           "\xDF\xBF",
                                           "\xD0\xB6",
                                           "\xC3\xA9",
                                           "$",
                                           "\n",
                                           "\xC3",  // a lead byte before whatever comes
                                           "\x80",  // a continuation byte with no lead
                                           "\xC0\xA4",
                                           "\xE2\x82\xAC",
                                           std::string(1, '\0')};
  const AsciiSet stops = {L'\n', L'\\', L'$', L'\0'};
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::string bytes;
    // Mostly letters, so that long runs come.
    for (size_t k = random() % 40; k > 0; --k) bytes += pieces[random() % (random() % 4 ? 7 : 14)];
    const std::wstring name = Write("mix", bytes);
    InputFile byRun;
    InputFile byGet;
    Open(byRun, name);
    Open(byGet, name);
    wchar_t buf[64];
    bool ended = false;
    const std::wstring run(buf, byRun.GetRun(buf, 64, stops, ended));
    std::wstring expected;
    wchar_t c = 0;
    bool got = false;
    while ((got = byGet.Get(c)) && !stops.Has(c)) expected += c;
    ASSERT_EQ(run, expected) << round;
    ASSERT_EQ(ended, !got) << round;
    // Both have consumed the same bytes, whichever way they read.
    ASSERT_GE(byGet.Offset(), 0) << round;
    ASSERT_EQ(byRun.Offset(), byGet.Offset()) << round;
    if (got) byGet.PutBack(c);
    ASSERT_EQ(Chars(byRun, 3), Chars(byGet, 3)) << round;
  }
}

INSTANTIATE_TEST_SUITE_P(StreamAndMemory, InputFileTest, testing::Bool());

}  // namespace
