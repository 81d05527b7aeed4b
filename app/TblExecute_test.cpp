// The report run in-process: Tbl::Execute from the settings to the report.
#include <gtest/gtest.h>

#include <string>

#include "state/Tbl.h"
#include "util/test_scratch.h"

namespace {

class TblExecute : public testing::Test {  // each test in a directory of its own
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { vexo::ResetRunState(); }
  static void Reset() {
    vexo::ResetRunState();
    Tbl::BlankFile = L"form";
    Tbl::InpFile = L"data.txt";
    Tbl::OutFile = L"report.txt";
  }
  void Write(const char* name, const std::string& text) { m_Dir.Write(name, text); }
  std::string Report() { return m_Dir.Read("report.txt"); }
  ScratchDir m_Dir{true};
};

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

  Reset();
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
