#include "OutputFile.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <climits>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "Console.h"

namespace {

class OutputFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = testing::TempDir() + "vexo_output_XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_Dir = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(m_Dir); }

  std::wstring Name(const std::string& name) const {
    const std::string path = m_Dir + "/" + name;
    return std::wstring(path.begin(), path.end());
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(m_Dir + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string m_Dir;
};

TEST_F(OutputFileTest, WritesUtf8BytesWithoutByteOrderMark) {
  struct Case {
    std::wstring text;
    std::string bytes;
  } cases[] = {
      {L"", ""},
      {L"A\x41F\x20AC\n", "A\xD0\x9F\xE2\x82\xAC\n"},
      {{L'a', static_cast<wchar_t>(0x110000)}, "a\xF4\x90\x80\x80"},
      {{L'a', static_cast<wchar_t>(0xFFFFFFD0), L'b'}, "a\xD0" "b"},
      {{L'a', static_cast<wchar_t>(0x200000), L'b'}, "ab"},
  };
  for (const Case& c : cases) {
    {
      OutputFile out(Name("report.txt").c_str(), false);
      ASSERT_TRUE(out.IsUsable());
      out << c.text << c.text.c_str();
    }
    EXPECT_EQ(Read("report.txt"), c.bytes + c.bytes);
  }
}

TEST_F(OutputFileTest, LongValuesInDecimal) {
  {
    OutputFile out(Name("numbers.txt").c_str(), false);
    out << -42L << L" " << 0L << L" " << LONG_MIN;
  }
  EXPECT_EQ(Read("numbers.txt"), "-42 0 " + std::to_string(LONG_MIN));
}

TEST_F(OutputFileTest, AppendKeepsAndCreateReplaces) {
  for (bool append : {false, true}) {
    { OutputFile(Name("log.txt").c_str(), false) << L"one"; }
    { OutputFile(Name("log.txt").c_str(), append) << L"two"; }
    EXPECT_EQ(Read("log.txt"), append ? "onetwo" : "two");
  }
  { OutputFile(Name("new.txt").c_str(), true) << L"x"; }
  EXPECT_EQ(Read("new.txt"), "x");
}

TEST_F(OutputFileTest, UnopenableNamesMakeADeadWriter) {
  const std::wstring names[] = {L"", Name("missing/report.txt"),
                                Name("bad") + static_cast<wchar_t>(0x200000)};
  for (const std::wstring& name : names) {
    OutputFile out(name.c_str(), false);
    EXPECT_FALSE(out.IsUsable());
    out << L"dropped" << 1L;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_Dir), {}), 0);
}

// "CON" exactly is standard output, shared in order with the console lines;
// any other spelling names a file.
TEST_F(OutputFileTest, ConIsStandardOutputInOrderWithConsoleLines) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(m_Dir);
  fflush(stdout);
  testing::internal::CaptureStdout();
  {
    OutputFile out(L"CON", false);
    ASSERT_TRUE(out.IsUsable());
    out << L"line \x41F" << L"\n";
    ConsoleLine(L"message \x20AC");
    out << L"tail\n";
    OutputFile lower(L"con", false);
    lower << L"file";
  }
  const std::string captured = testing::internal::GetCapturedStdout();
  std::filesystem::current_path(previous);
  EXPECT_EQ(captured, "line \xD0\x9F\nmessage \xE2\x82\xAC\ntail\n");
  EXPECT_LE(fwide(stdout, 0), 0);
  EXPECT_EQ(Read("con"), "file");
  EXPECT_FALSE(std::filesystem::exists(m_Dir + "/CON"));
}

}  // namespace
