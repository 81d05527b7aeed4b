#include "InputFile.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// A private directory for the files of one test, removed with everything in it.
class InputFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = testing::TempDir() + "vexo_input_XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_Dir = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(m_Dir); }

  std::wstring Write(const std::string& name, const std::string& bytes) {
    const std::string path = m_Dir + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return std::wstring(path.begin(), path.end());
  }

  std::string m_Dir;
};

constexpr int64_t kNone = -1;  // Get returned false

std::vector<int64_t> ReadAll(InputFile& file, size_t calls) {
  std::vector<int64_t> got;
  for (size_t i = 0; i < calls; ++i) {
    wchar_t c = 0;
    got.push_back(file.Get(c) ? static_cast<int64_t>(static_cast<uint32_t>(c)) : kNone);
  }
  return got;
}

TEST_F(InputFileTest, GetDecodesByTheLeadByte) {
  struct Case {
    std::string bytes;
    std::vector<int64_t> expected;
  } cases[] = {
      {"", {kNone, kNone}},
      {"A\r\nB", {0x41, 0x0D, 0x0A, 0x42, kNone}},
      {"\xD0\x9F", {0x41F, kNone}},
      {"\xE2\x82\xAC", {0x20AC, kNone}},
      {"\xF0\x9F\x98\x80", {0x1F600, kNone}},
      {"\xEF\xBB\xBF" "a", {0xFEFF, 0x61}},
      {"\xF4\x90\x80\x80", {0x110000, kNone}},
      {"\xF7\xBF\xBF\xBF", {0x1FFFFF, kNone}},
      {"\xC0\x80", {0, kNone}},
      {"\xED\xA0\x80", {0xD800, kNone}},
      // Continuation bytes give their low six bits, whatever they are.
      {"\xC3" "A", {0xC1, kNone}},
      {std::string("\xE0\xFF\x00", 3), {0xFC0, kNone}},
      // A byte that starts nothing is consumed and reads as no character.
      {"\x9F" "a", {kNone, 0x61, kNone}},
      {"\x80\xBF\xF8\xFF" "b", {kNone, kNone, kNone, kNone, 0x62}},
      // A sequence cut short by the end of the file.
      {"\xE2\x82", {kNone, kNone}},
      {"\xF0", {kNone}},
  };
  for (const Case& c : cases) {
    InputFile file(Write("get.txt", c.bytes).c_str());
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(ReadAll(file, c.expected.size()), c.expected) << testing::PrintToString(c.bytes);
  }
}

TEST_F(InputFileTest, PutBackIsServedFirstAndSurvivesOpen) {
  InputFile closed;
  wchar_t c = 0;
  EXPECT_FALSE(closed.Get(c));
  closed.PutBack(L'x');
  closed.PutBack(L'y');
  EXPECT_TRUE(closed.Get(c));
  EXPECT_EQ(c, L'y');
  EXPECT_FALSE(closed.Get(c));

  InputFile file;
  file.PutBack(L'z');
  ASSERT_TRUE(file.Open(Write("a.txt", "ab").c_str()));
  file.SetFilePointer(1);
  EXPECT_EQ(ReadAll(file, 3), (std::vector<int64_t>{L'z', L'b', kNone}));
}

TEST_F(InputFileTest, OpenReplacesTheStreamAndRefusesBadNames) {
  InputFile file(Write("first.txt", "1").c_str());
  ASSERT_TRUE(file.Open(Write("second.txt", "2").c_str()));
  EXPECT_EQ(ReadAll(file, 2), (std::vector<int64_t>{L'2', kNone}));

  EXPECT_FALSE(file.Open(Write("missing/x.txt", "").c_str()));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(file.GetFilePointer(), -1);
  EXPECT_FALSE(file.Open(nullptr));

  // Write widens the name byte by byte as the command line does; that form
  // and the decoded letter open the same file, a value with no byte form none.
  std::wstring widened = Write("\xD0\x9F.txt", "3");
  ASSERT_TRUE(file.Open(widened.c_str()));
  EXPECT_EQ(ReadAll(file, 1), (std::vector<int64_t>{L'3'}));
  std::wstring decoded = widened.substr(0, widened.size() - 6) + L"\x41F.txt";
  EXPECT_TRUE(file.Open(decoded.c_str()));
  widened.back() = static_cast<wchar_t>(0x200000);
  EXPECT_FALSE(file.Open(widened.c_str()));
}

TEST_F(InputFileTest, GetLineDropsCarriageReturnsAndKeepsTheLineFeed) {
  struct Case {
    std::string bytes;
    std::vector<std::wstring> lines;  // until GetLine returns false
  } cases[] = {
      {"", {}},
      {"\n", {L"\n"}},
      {"\r", {}},
      {"A\r\nB", {L"A\n", L"B"}},
      {"a\rb\r\r\n\r\n", {L"ab\n", L"\n"}},
      {"ab\x9F" "cd\n", {L"ab", L"cd\n"}},
      {"\x9F" "cd\n", {}},
      {"x\xE2\x82", {L"x"}},
  };
  for (const Case& c : cases) {
    InputFile file(Write("lines.txt", c.bytes).c_str());
    std::vector<std::wstring> got;
    wchar_t buf[16];
    while (file.GetLine(buf, 15)) got.emplace_back(buf);
    EXPECT_EQ(got, c.lines) << testing::PrintToString(c.bytes);
    EXPECT_EQ(buf[0], 0);
  }
}

TEST_F(InputFileTest, GetLineStopsAtMaxAndLosesTheNextCharacter) {
  constexpr int kMax = 4095;
  for (int length : {kMax - 1, kMax, kMax + 1, kMax + 2}) {
    std::string line(length, 'a');
    line[length - 1] = 'z';
    InputFile file(Write("long.txt", line + "\nnext\n").c_str());
    std::vector<wchar_t> buf(kMax + 1, L'#');
    ASSERT_TRUE(file.GetLine(buf.data(), kMax));
    const std::wstring first(buf.data());
    ASSERT_TRUE(file.GetLine(buf.data(), kMax));
    const std::wstring second(buf.data());
    if (length < kMax) {
      EXPECT_EQ(first, std::wstring(length - 1, L'a') + L"z\n");
      EXPECT_EQ(second, L"next\n");
    } else {
      // The character after the stored stretch is consumed: the line feed
      // for an exact fit, the (max+1)th character otherwise.
      EXPECT_EQ(first.size(), static_cast<size_t>(kMax)) << length;
      EXPECT_EQ(first.back(), length == kMax ? L'z' : L'a');
      const std::wstring rest = length == kMax ? L"next\n" : length == kMax + 1 ? L"\n" : L"z\n";
      EXPECT_EQ(second, rest) << length;
    }
  }
}

TEST_F(InputFileTest, PositionsAreBytesAndRereadALine) {
  InputFile file(Write("pos.txt", "\xD0\x9F\nsecond\n").c_str());
  wchar_t c;
  ASSERT_TRUE(file.Get(c));
  EXPECT_EQ(file.GetFilePointer(), 2);
  wchar_t buf[64];
  ASSERT_TRUE(file.GetLine(buf, 63));
  const long second = file.GetFilePointer();
  EXPECT_EQ(second, 3);
  ASSERT_TRUE(file.GetLine(buf, 63));
  EXPECT_FALSE(file.GetLine(buf, 63));
  file.SetFilePointer(second);
  ASSERT_TRUE(file.GetLine(buf, 63));
  EXPECT_EQ(std::wstring(buf), L"second\n");
}

TEST_F(InputFileTest, HugeLineWithoutLineFeedIsReadInPieces) {
  const std::string bytes(1000000, 'q');
  InputFile file(Write("huge.txt", bytes).c_str());
  std::vector<wchar_t> buf(4096);
  size_t total = 0;
  int lines = 0;
  while (file.GetLine(buf.data(), 4095)) {
    total += std::wstring(buf.data()).size();
    ++lines;
  }
  // Every stretch but the last loses the character after it.
  EXPECT_EQ(total + lines - 1, bytes.size());
}

}  // namespace
