#include "OutputFile.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "Console.h"

namespace {

class OutputFileTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(mkdtemp(m_Dir.data()), nullptr); }
  void TearDown() override { std::filesystem::remove_all(m_Dir); }
  std::wstring Name(const std::string& name) const {
    return std::wstring(m_Dir.begin(), m_Dir.end()) + L"/" + std::wstring(name.begin(), name.end());
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(m_Dir + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string m_Dir = testing::TempDir() + "vexo_output_XXXXXX";
};

TEST_F(OutputFileTest, WritesUtf8WithoutByteOrderMarkAndAppendsOnRequest) {
  const std::wstring text{
      L'A', L'\x41F', L'\x20AC', wchar_t(0x110000), wchar_t(0xFFFFFFD0), wchar_t(0x200000)};
  for (bool append : {false, true}) {
    { OutputFile(Name("r").c_str(), false) << L"old "; }
    {
      OutputFile out(Name("r").c_str(), append);
      ASSERT_TRUE(out.IsUsable());
      out << text << L"" << std::wstring() << L"|" << -42L << L"|" << LONG_MIN;
    }
    EXPECT_EQ(Read("r"), (append ? "old A" : "A") +
                             std::string("\xD0\x9F\xE2\x82\xAC\xF4\x90\x80\x80\xD0|-42|") +
                             std::to_string(LONG_MIN));
  }
}

TEST_F(OutputFileTest, UnopenableNamesMakeADeadWriter) {
  for (const std::wstring& name :
       {std::wstring(), Name("missing/r"), Name("r") + wchar_t(0x200000)}) {
    OutputFile out(name.c_str(), false);
    EXPECT_FALSE(out.IsUsable());
    out << L"dropped" << 1L;
  }
  EXPECT_TRUE(std::filesystem::is_empty(m_Dir));
}

// Exactly "CON" is standard output, in order with the console lines; any
// other spelling names a file.
TEST_F(OutputFileTest, ConIsStandardOutputInOrderWithConsoleLines) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(m_Dir);
  fflush(stdout);
  testing::internal::CaptureStdout();
  {
    OutputFile out(L"CON", false);
    OutputFile lower(L"con", false);
    out << L"line \x41F\n";
    ConsoleLine(L"message \x20AC");
    out << L"tail\n";
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
