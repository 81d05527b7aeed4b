// The report run in-process: Tbl::Execute from the settings to the report.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "state/Tbl.h"

namespace {

class TblExecute : public testing::Test {  // each test in a directory of its own
 protected:
  void SetUp() override {
    ASSERT_NE(mkdtemp(m_Dir.data()), nullptr);
    std::filesystem::current_path(m_Dir);
    vexo::ResetRunState();
    Tbl::BlankFile = L"form";
    Tbl::InpFile = L"data.txt";
    Tbl::OutFile = L"report.txt";
  }
  void TearDown() override {
    std::filesystem::current_path(m_Previous);
    std::filesystem::remove_all(m_Dir);
    vexo::ResetRunState();
  }
  static void Write(const char* name, const std::string& text) {
    std::ofstream(name, std::ios::binary) << text;
  }
  static std::string Report() {
    std::stringstream bytes;
    bytes << std::ifstream("report.txt", std::ios::binary).rdbuf();
    return bytes.str();
  }
  std::string m_Dir = testing::TempDir() + "vexo_execute_XXXXXX";
  std::filesystem::path m_Previous = std::filesystem::current_path();
};

// Part 1: the title line takes header field 1 into columns 5-10 ("&1" and
// four blanks up to the "?"), then a body line: $1 over columns 0-5 (up to the
// next "$"), $2 right-aligned over columns 6-11. The first record fills part
// 1; the second finds it used up and goes on to part 2, whose "#" prints the
// counter 1. No part 3: the run ends quietly with 0.
TEST_F(TblExecute, RecordsFlowOverTheSheetsOfPartOneAndTwo) {
  Write("form.1", "List &1   ?\n$1    $2>  ?\n");
  Write("form.2", "Page #\n$1    $2>  ?\n");
  Write("data.txt", "&1;Title\n$1;ab$2;xyz@\n$1;c$2;d@\n");
  EXPECT_EQ(Tbl().Execute(), 0);
  EXPECT_EQ(Report(), "List Title \nab       xyz\nPage 1\nc          d\n");
}

// Each stop with status 1 leaves its message in the report (Russian table).
TEST_F(TblExecute, StopsWithStatusOneAndTheMessage) {
  Write("form.1", "$1\n");
  Write("data.txt", "$1;too long for one sheet@");
  EXPECT_EQ(Tbl().Execute(), 1);  // part 2 is missing
  EXPECT_EQ(Report(),
            "to\n\u041e\u0448\u0438\u0431\u043a\u0430 \u043f\u0440\u0438 "
            "\u0437\u0430\u0433\u0440\u0443\u0437\u043a\u0435 "
            "\u0431\u043b\u0430\u043d\u043a\u0430:form.2\n");
  Tbl::InpFile = L"missing.txt";
  EXPECT_EQ(Tbl().Execute(), 1);
  EXPECT_EQ(Report(),
            "\u041d\u0435 \u043d\u0430\u0439\u0434\u0435\u043d "
            "\u0432\u0445\u043e\u0434\u043d\u043e\u0439 "
            "\u0444\u0430\u0439\u043b:missing.txt\n");
}

// Large inputs keep their shape: one field of a million characters wraps
// into 40 columns, a line of a million characters with no line feed ends
// the data, and a part of 10,000 labels and 10,000 jumps loads and walks.
TEST_F(TblExecute, LargeInputsKeepTheirShape) {
  // "word " 200,000 times: each line of 40 columns takes eight words, the
  // blank after the eighth being the last break character that fits.
  std::string words;
  for (int k = 0; k < 200000; ++k) words += "word ";
  Write("form.1", ">1\n$1                                     ?\n>jump to 1\n");
  Write("data.txt", "$1;" + words + "@\n");
  EXPECT_EQ(Tbl().Execute(), 0);
  std::string line;
  for (int k = 0; k < 8; ++k) line += "word ";
  line.pop_back();
  const std::string shown = line + std::string(40 - line.size(), ' ') + "\n";
  std::string expected;
  for (int k = 0; k < 25000; ++k) expected += shown;
  EXPECT_TRUE(Report() == expected);

  vexo::ResetRunState();
  Tbl::BlankFile = L"form";
  Tbl::InpFile = L"data.txt";
  Tbl::OutFile = L"report.txt";
  Write("data.txt", "$1;" + std::string(1000000, 'a'));
  Write("form.1", "$$1 ?\n");
  EXPECT_EQ(Tbl().Execute(), 0);
  EXPECT_EQ(Report(), "aaaaa\n");

  std::string labels;
  for (int n = 1; n <= 10000; ++n) {
    labels += ">" + std::to_string(n) + "\n>jump to " + std::to_string(n % 10000 + 1) + " $1^\n";
  }
  Write("form.1", labels + "$1 ?\n");
  Write("data.txt", "$1;xyz@\n");
  EXPECT_EQ(Tbl().Execute(), 0);
  EXPECT_EQ(Report(), "xyz \n");
}

}  // namespace
