#include "InputFile.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

class InputFileTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(mkdtemp(m_Dir.data()), nullptr); }
  void TearDown() override { std::filesystem::remove_all(m_Dir); }
  // Writes a file; its name comes back widened byte by byte, as the command
  // line widens names.
  std::wstring Write(const std::string& name, const std::string& bytes) {
    std::ofstream(m_Dir + "/" + name, std::ios::binary) << bytes;
    const std::string path = m_Dir + "/" + name;
    return std::wstring(path.begin(), path.end());
  }
  std::string m_Dir = testing::TempDir() + "vexo_input_XXXXXX";
};

// What `calls` calls of Get deliver, -1 for each false.
std::vector<long> Chars(InputFile& file, int calls) {
  std::vector<long> got;
  for (wchar_t c = 0; calls-- > 0;) {
    got.push_back(file.Get(c) ? static_cast<long>(static_cast<uint32_t>(c)) : -1);
  }
  return got;
}

TEST_F(InputFileTest, GetDecodesByTheLeadByteAndConsumesBadBytes) {
  const struct {
    std::string bytes;
    std::vector<long> chars;
  } cases[] = {{"", {-1, -1}},
               {"A\r\nB", {0x41, 0x0D, 0x0A, 0x42, -1}},
               {"\xD0\x9F", {0x41F, -1}},
               {"\xE2\x82\xAC", {0x20AC, -1}},
               {"\xF0\x9F\x98\x80", {0x1F600, -1}},
               {"\xEF\xBB\xBF", {0xFEFF, -1}},
               {"\xF7\xBF\xBF\xBF", {0x1FFFFF, -1}},
               {"\xC0\x80", {0, -1}},
               {"\xC3G", {0xC7, -1}},
               {std::string("\xE0\xFF\x00", 3), {0xFC0, -1}},
               {"\x9Fz", {-1, 0x7A, -1}},
               {"\x80\xBF\xF8\xFFz", {-1, -1, -1, -1, 0x7A}},
               {"\xE2\x82", {-1, -1}},
               {"\xF0", {-1}}};
  for (const auto& c : cases) {
    InputFile file(Write("get", c.bytes).c_str());
    EXPECT_EQ(Chars(file, static_cast<int>(c.chars.size())), c.chars)
        << testing::PrintToString(c.bytes);
  }
}

TEST_F(InputFileTest, PutBackComesFirstAndOpenReplacesTheStream) {
  InputFile file;
  file.PutBack(L'x');
  file.PutBack(L'y');
  EXPECT_EQ(Chars(file, 2), (std::vector<long>{L'y', -1}));
  file.PutBack(L'z');
  ASSERT_TRUE(file.Open(Write("first", "1").c_str()));
  const std::wstring widened = Write("\xD0\x9F", "ab");
  ASSERT_TRUE(file.Open(widened.c_str()));
  file.SetFilePointer(1);
  EXPECT_EQ(Chars(file, 3), (std::vector<long>{L'z', L'b', -1}));
  EXPECT_TRUE(file.Open((widened.substr(0, widened.size() - 2) + L"\x41F").c_str()));
  for (const std::wstring& bad : {Write("missing/x", ""), Write("a", "") + wchar_t(0x200000)}) {
    EXPECT_FALSE(file.Open(bad.c_str()));
    EXPECT_EQ(Chars(file, 1), (std::vector<long>{-1}));
  }
}

TEST_F(InputFileTest, GetLineDropsCarriageReturnsAndStopsAtBadBytes) {
  const struct {
    std::string bytes;
    std::vector<std::wstring> lines;  // until GetLine returns false
  } cases[] = {{"", {}},
               {"\r", {}},
               {"\n", {L"\n"}},
               {"A\r\nB", {L"A\n", L"B"}},
               {"a\rb\r\r\n\r\n", {L"ab\n", L"\n"}},
               {"ab\x9Fxy\n", {L"ab", L"xy\n"}},
               {"\x9Fxy\n", {}},
               {"x\xE2\x82", {L"x"}}};
  for (const auto& c : cases) {
    InputFile file(Write("lines", c.bytes).c_str());
    std::vector<std::wstring> got;
    wchar_t buf[16];
    while (file.GetLine(buf, 15)) got.emplace_back(buf);
    EXPECT_EQ(got, c.lines) << testing::PrintToString(c.bytes);
    EXPECT_EQ(buf[0], 0);
  }
}

// At max characters a line is cut, and the character after the cut is lost:
// the line feed for an exact fit, the next letter otherwise.
TEST_F(InputFileTest, GetLineKeepsAtMostMaxCharacters) {
  constexpr int kMax = 4095;
  const std::wstring rests[] = {L"next\n", L"next\n", L"\n", L"d\n"};
  for (int length = kMax - 1; length <= kMax + 2; ++length) {
    const std::string line = std::string(kMax - 1, 'a') + std::string("bcd", length - kMax + 1);
    InputFile file(Write("long", line + "\nnext\n").c_str());
    std::vector<wchar_t> buf(kMax + 1);
    ASSERT_TRUE(file.GetLine(buf.data(), kMax));
    const std::wstring wide(line.begin(), line.end());
    EXPECT_EQ(buf.data(), length < kMax ? wide + L"\n" : wide.substr(0, kMax)) << length;
    ASSERT_TRUE(file.GetLine(buf.data(), kMax));
    EXPECT_EQ(buf.data(), rests[length - kMax + 1]) << length;
  }
}

TEST_F(InputFileTest, PositionsAreBytesAndRereadALine) {
  InputFile file(Write("pos", "\xD0\x9F\nsecond\n").c_str());
  wchar_t buf[64];
  Chars(file, 1);
  EXPECT_EQ(file.GetFilePointer(), 2);
  ASSERT_TRUE(file.GetLine(buf, 63));
  const long second = file.GetFilePointer();
  EXPECT_EQ(second, 3);
  while (file.GetLine(buf, 63)) {
  }
  file.SetFilePointer(second);
  ASSERT_TRUE(file.GetLine(buf, 63));
  EXPECT_EQ(std::wstring(buf), L"second\n");
}

}  // namespace
