#include "Tbl.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

// Fields 0 to 3 as "value|value|...", "-" for a missing one, "^" for a
// segment separator.
std::wstring Fields(FieldTab& tab) {
  std::wstring text;
  for (long n = 0; n <= 3; ++n) {
    text += n > 0 ? L"|" : L"";
    if (!tab.SetCurrent(n)) text += L"-";
    tab.First(n);
    for (wchar_t c = tab.GetSym(); c; c = tab.GetSym()) text += c == kSegmentSeparator ? L'^' : c;
  }
  return text;
}

void Write(const std::string& name, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path("./" + name).parent_path());
  std::ofstream(name, std::ios::binary) << bytes;
}

void Reset() {
  Tbl::BegParam = Tbl::PathBlank = L"";
  Tbl::InpFile = L"data.txt";
  Tbl::totBreak = 0;
  Tbl::FirstOst = 0;
  Tbl::TabHdrField.freeAll();
  Tbl::TabRcdField.freeAll();
}

// Reads data as the header ('H') or as one record ('R', with fields 0 to 2
// declared) and sums up: the result, the fields, then for the header the
// character left for the records and for a record totBreak and FirstOst.
std::wstring Scan(char kind, const std::string& data) {
  Reset();
  for (long n : {0L, 1L, 2L}) Tbl::TabRcdField.InsertField(n);
  Write("data.txt", data);
  Tbl table;
  wchar_t next = 0;
  if (kind == 'H') {
    const int result = table.GetHider();
    return std::to_wstring(result) + L" " + Fields(Tbl::TabHdrField) + L" " +
           (table.Get(next) ? std::wstring(1, next) : L"none");
  }
  table.Open(L"data.txt");
  const int result = table.GetRecord();
  return std::to_wstring(result) + L" " + Fields(Tbl::TabRcdField) + L" " +
         std::to_wstring(Tbl::totBreak) + L" " + std::to_wstring(Tbl::FirstOst);
}

// Every test runs in a directory of its own and leaves the settings and the
// tables at their start values.
class TblTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(mkdtemp(m_Dir.data()), nullptr);
    std::filesystem::current_path(m_Dir);
    Reset();
  }
  void TearDown() override {
    std::filesystem::current_path(m_Previous);
    std::filesystem::remove_all(m_Dir);
    Reset();
    Tbl::InpFile = L"NULL";
  }
  std::string m_Dir = testing::TempDir() + "vexo_tbl_XXXXXX";
  std::filesystem::path m_Previous = std::filesystem::current_path();
};

TEST_F(TblTest, HeaderTagsEscapesLineEndsAndEnd) {
  const std::pair<std::string, std::wstring> cases[] = {
      {"&1;Smith\n&2;Ivanov\n$1;first\n@", L"1 -|Smith|Ivanov|- $"},
      {"&1;a\n>x", L"1 -|a|-|- >"},
      {"&1;a\r\n@", L"1 -|a|-|- @"},
      {"&1;a>b@c$d", L"1 -|a>b@c$d|-|- none"},
      {"&1;x\n $y", L"1 -|x  $y|-|- none"},
      {"&1;A  &1;  &1;&1;B  ", L"1 -|A^^^B|-|- none"},
      {"&1;A\\&1;B&12x", L"1 -|A&1;B&12x|-|- none"},
      {"&1;a\\\n>b\\\\\n$", L"1 -|a\n>b\\|-|- $"},
      {"&1;\nline one \t\n two\n\n", L"1 -| line one  two|-|- none"},
      {"lost&;zero&3$1;", L"1 zero&3$1;|-|-|- none"},
      {"&18446744073709551619;x&003;y", L"1 -|-|-|x^y none"},
      // No character after a backslash or inside the digits: the scanner
      // goes on after the bad byte; elsewhere a bad byte ends the header.
      {"&1;a\\\x9Fz&2\x9F;c\x80q", L"1 -|az&2;c|-|- q"},
      {"\xFF", L"1 -|-|-|- none"},
      {"", L"1 -|-|-|- none"}};
  for (const auto& [data, summary] : cases) EXPECT_EQ(Scan('H', data), summary) << data;
  Tbl::InpFile = L"missing.txt";
  EXPECT_EQ(Tbl().GetHider(), 0);
}

// Fields 0 to 2 are declared; field 3 is not, so its text is dropped.
TEST_F(TblTest, RecordTagsEndsBreaksAndEscapes) {
  const std::pair<std::string, std::wstring> cases[] = {
      {"$1;first\n@", L"1 |first||- 0 5"},
      {"$1;line one\nline two@", L"1 |line one line two||- 0 17"},
      {"$1;A \\$1;B$2;  $2;C$2;$2;D@", L"1 |A $1;B|^C^^D|- 0 11"},
      {">>$1;a\n>b\n >c@", L"1 >|a b  >c||- 2 8"},
      {"x>$3;lost$2;kept@", L"1 x>||kept|- 0 6"},
      {"$1;a\\@b\\\n>c&1;d@", L"1 |a@b\n>c&1;d||- 0 10"},
      {"$1;\nvalue@", L"1 | value||- 0 6"},
      {"$$1;x$;z@", L"1 $^z|x||- 0 4"},
      {"@", L"1 |||- 0 0"},
      {"$1;no end  \n", L"0 |no end ||- 0 0"},
      {"$1;a\\", L"0 |a||- 0 0"},
      {"$1;a$2\x9F;b\\\x9Fz@", L"1 |a$2;bz||- 0 6"},
      {"\x9F$1;a@", L"0 |||- 0 0"}};
  for (const auto& [data, summary] : cases) EXPECT_EQ(Scan('R', data), summary) << data;
}

TEST_F(TblTest, TagCutByTheEndOfFileAtEveryPoint) {
  const std::string header = "&1;x&02;a";
  const std::wstring headers[] = {L"1 -|x|-|- none",    L"1 -|x&|-|- none", L"1 -|x&0|-|- none",
                                  L"1 -|x&02|-|- none", L"1 -|x||- none",   L"1 -|x|a|- none"};
  for (size_t k = 4; k <= header.size(); ++k)
    EXPECT_EQ(Scan('H', header.substr(0, k)), headers[k - 4]);
  const std::string record = "$1;x$02;a@";
  const std::wstring records[] = {L"0 |x||- 0 0",    L"0 |x$||- 0 0", L"0 |x$0||- 0 0",
                                  L"0 |x$02||- 0 0", L"0 |x||- 0 0",  L"0 |x|a|- 0 0",
                                  L"1 |x|a|- 0 2"};
  for (size_t k = 4; k <= record.size(); ++k)
    EXPECT_EQ(Scan('R', record.substr(0, k)), records[k - 4]);
}

// The header hands its last character to the records, and every record
// starts at the start of a line.
TEST_F(TblTest, HeaderThenRecordsInSequence) {
  Tbl::TabRcdField.InsertField(1);
  Write("data.txt", "&1;head\n$1;r1@>$1;r2\n@\n>$1;r3 @$1;tail");
  Tbl table;
  ASSERT_EQ(table.GetHider(), 1);
  std::wstring got;
  for (int i = 0; i < 5; ++i) {
    got += std::to_wstring(table.GetRecord());
    got += L":" + Tbl::TabRcdField.FirstValue(1) + L":" + std::to_wstring(Tbl::totBreak) + L" ";
  }
  EXPECT_EQ(got, L"1:r1:0 1:r2:1 1:r3:2 0:tail:2 0::2 ");
  EXPECT_EQ(Tbl::TabHdrField.FirstValue(1), L"head");
}

// A field keeps the first value it was given; every file on the list is read.
TEST_F(TblTest, BeginFilesAlongTheDirectoryList) {
  Write("p.txt", "&1;cwd&3;c&0;w");
  Write("a/p.txt", "lost&1;a&2;two\\n \nlines  &1;off&3;a&3;x&0\n&0;last&5");
  Write("b/p.txt", "&1;b&3;b");
  const std::wstring cases[][2] = {{L"", L"w|cwd|-|c"},
                                   {L"a;b", L"last&5|a|two\\n lines|a"},
                                   {L"b/;a", L"last&5|b|two\\n lines|b"},
                                   {L";b", L"w|cwd|-|c"},
                                   {L"b;", L"-|b|-|b"},
                                   {L"b;;a", L"w|b|two\\n lines|b"},
                                   {L"missing;b", L"-|b|-|b"},
                                   {L"missing", L"-|-|-|-"}};
  for (const auto& c : cases) {
    Reset();
    Tbl::BegParam = L"p.txt";
    Tbl::PathBlank = c[0];
    Tbl().GetBegin();
    EXPECT_EQ(Fields(Tbl::TabHdrField), c[1]) << c[0];
  }
  Reset();
  Tbl().GetBegin();  // no file named
  EXPECT_EQ(Fields(Tbl::TabHdrField), L"-|-|-|-");
}

// Any bytes at all: every scanner ends, and nothing reads out of bounds.
TEST_F(TblTest, ArbitraryBytesAndHugeInputs) {
  EXPECT_EQ(Scan('R', "$1;" + std::string(1 << 20, 'w') + "@").substr(0, 6), L"1 |www");
  EXPECT_EQ(Tbl::FirstOst, 1u << 20);
  const char alphabet[] = "&$@>\\;\n\r 019a\x80\xC3\xE2\xF0\xF8\xFF";
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    std::string bytes(random() % 40, ' ');
    for (char& b : bytes) b = alphabet[random() % (sizeof alphabet - 1)];
    Write("data.txt", bytes);
    Tbl::BegParam = L"data.txt";
    Tbl reader;
    ASSERT_EQ(reader.GetHider(), 1);
    reader.GetBegin();
    for (int records = 0; reader.GetRecord() == 1;) ASSERT_LE(++records, 40);
  }
}

}  // namespace
