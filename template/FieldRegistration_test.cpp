// What loading takes from a text line: record fields and header presets.
#include "template/FieldRegistration.h"

#include <gtest/gtest.h>

#include <string>

#include "state/Tbl.h"

using vexo::RegisterFields;

namespace {

class FieldRegistration : public ::testing::Test {
 protected:
  void SetUp() override { vexo::ResetRunState(); }
  // Numbers of the fields that exist in the table, among 0 to 20 and -3.
  static std::string Numbers(FieldTab& table) {
    std::string got;
    for (long n = -3; n <= 20; ++n) {
      if (table.SetCurrent(n)) got += std::to_string(n) + " ";
    }
    return got;
  }
};

TEST_F(FieldRegistration, RecordFieldsNamedByTheLine) {
  struct Case {
    const wchar_t* line;
    const char* fields;
  } cases[] = {
      {L"$7\n", "7 "}, {L"$$7\n", "0 7 "}, {L"@@7\n", "7 "},   {L"a $ 12 b\n", "12 "},
      {L"$x\n", "0 "}, {L"$-3\n", "-3 "},  {L"@7 @@\n", "0 "}, {L"$1$2@@3\n", "1 2 3 "},
  };
  for (const auto& c : cases) {
    SetUp();
    RegisterFields(c.line);
    EXPECT_EQ(Numbers(Tbl::TabRcdField), c.fields) << c.line;
    EXPECT_EQ(Numbers(Tbl::TabHdrField), "") << c.line;
  }
}

TEST_F(FieldRegistration, HeaderPresetTexts) {
  struct Case {
    const wchar_t* line;
    long field;
    std::wstring value;
  } cases[] = {
      {L"&5\n", 5, L""},
      {L"&5 abc  \n", 5, L" abc"},
      {L"&5>abc$1 x\n", 5, L"abc"},
      {L"&&5 x\n", 0, L""},  // the first "&" alone names field 0
      {L"\t&5\tab\n", 5, L"     ab"},
      {L"&12x\n", 12, L"x"},
  };
  for (const auto& c : cases) {
    SetUp();
    RegisterFields(c.line);
    EXPECT_TRUE(Tbl::TabHdrField.SetCurrent(c.field)) << c.line;
    EXPECT_EQ(Tbl::TabHdrField.FirstValue(c.field), c.value) << c.line;
  }
}

TEST_F(FieldRegistration, AmpersandBeyondTheExpandedCopy) {
  // 1000 tabs expand to 4500 spaces, more than the copy holds: the "&"
  // falls off its end.
  std::wstring line(1000, L'\t');
  line += L"&7 text\n";
  RegisterFields(line.c_str());
  EXPECT_EQ(Numbers(Tbl::TabHdrField), "0 ");
  EXPECT_EQ(Tbl::TabHdrField.FirstValue(0), L"");
}

}  // namespace
