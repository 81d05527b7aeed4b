#include "Tbl.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::wstring kAbsent = L"<absent>";
using Expected = std::vector<std::pair<long, std::wstring>>;

// The whole value of field n, separators shown as "|"; kAbsent without one.
std::wstring Text(FieldTab& tab, long n) {
  if (!tab.SetCurrent(n)) return kAbsent;
  tab.First(n);
  std::wstring text;
  for (wchar_t c = tab.GetSym(); c != 0; c = tab.GetSym()) {
    text.push_back(c == kSegmentSeparator ? L'|' : c);
  }
  tab.First(n);
  return text;
}

void ExpectFields(FieldTab& tab, const Expected& expected, const std::string& data) {
  for (const auto& [n, value] : expected) EXPECT_EQ(Text(tab, n), value) << n << " in " << data;
}

// Each test starts from the start values of the run settings and empty
// tables, in a directory of its own that is also the working directory.
class TblTest : public testing::Test {
 protected:
  void SetUp() override {
    Reset();
    std::string pattern = testing::TempDir() + "vexo_tbl_XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_Dir = pattern;
    m_Previous = std::filesystem::current_path();
    std::filesystem::current_path(m_Dir);
  }
  void TearDown() override {
    std::filesystem::current_path(m_Previous);
    std::filesystem::remove_all(m_Dir);
    Reset();
  }
  static void Reset() {
    Tbl::BlankFile.clear();
    Tbl::BegParam.clear();
    Tbl::InpFile = L"NULL";
    Tbl::OutFile = L"CON";
    Tbl::PathBlank.clear();
    Tbl::totBreak = 0;
    Tbl::FirstOst = 0;
    Tbl::TabHdrField.freeAll();
    Tbl::TabRcdField.freeAll();
  }
  static void Write(const std::string& name, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(name).parent_path().empty()
                                            ? "."
                                            : std::filesystem::path(name).parent_path());
    std::ofstream(name, std::ios::binary) << bytes;
  }
  // Writes the data file and names it in the run settings.
  static void Data(const std::string& bytes) {
    Write("data.txt", bytes);
    Tbl::InpFile = L"data.txt";
  }

  std::string m_Dir;
  std::filesystem::path m_Previous;
};

TEST_F(TblTest, HeaderTagsEscapesAndLineEnds) {
  struct Case {
    std::string data;
    Expected fields;
    int next;  // the character left for the records, -1 for none
  } cases[] = {
      {"&1;Smith\n&2;Ivanov\n$1;first\n@", {{1, L"Smith"}, {2, L"Ivanov"}}, '$'},
      {"&1;a\n>x", {{1, L"a"}}, '>'},
      {"&1;a\r\n@", {{1, L"a"}}, '@'},
      {"&1;a>b@c$d", {{1, L"a>b@c$d"}}, -1},
      {"&1;x\n $y", {{1, L"x  $y"}}, -1},
      {"&1;A&1;B  ", {{1, L"A|B"}}, -1},
      {"&1;A\\&1;B", {{1, L"A&1;B"}}, -1},
      {"&1;a&12x", {{1, L"a&12x"}, {12, kAbsent}}, -1},
      {"&1;a\\\n>b", {{1, L"a\n>b"}}, -1},
      {"&1;a\\\\\n$", {{1, L"a\\"}}, '$'},
      {"&1;\nvalue", {{1, L" value"}}, -1},
      {"&1;line one \t\nline two\n\n", {{1, L"line one line two"}}, -1},
      {"dropped&;zero", {{0, L"zero"}}, -1},
      {"&1;a$1;b", {{1, L"a$1;b"}}, -1},
      {"&18446744073709551617;x&18446744073709551615;y", {{1, L"x"}, {-1, L"y"}}, -1},
      {"&007;z", {{7, L"z"}}, -1},
      // No character after a backslash or inside the digits: reading goes
      // on after the failed byte.
      {"&1;a\\\x9F" "b", {{1, L"ab"}}, -1},
      {"&1;a&2\x9F;b", {{1, L"a&2;b"}, {2, kAbsent}}, -1},
      {"&1;a\x9F" "b", {{1, L"a"}}, 'b'},
      {"&1;a\\", {{1, L"a"}}, -1},
      {"", {{0, kAbsent}}, -1},
      {"\xFF", {{0, kAbsent}}, -1},
  };
  for (const Case& c : cases) {
    Reset();
    Data(c.data);
    Tbl table;
    ASSERT_EQ(table.GetHider(), 1);
    ExpectFields(Tbl::TabHdrField, c.fields, c.data);
    wchar_t next = 0;
    EXPECT_EQ(table.Get(next) ? static_cast<int>(next) : -1, c.next) << c.data;
  }
}

TEST_F(TblTest, HeaderTextBeforeTheFirstTagGoesToAnExistingFieldZero) {
  Tbl::TabHdrField.InsertField(0);
  Tbl::TabHdrField.InsertField(5);
  Data("lead&1;one");
  Tbl table;
  ASSERT_EQ(table.GetHider(), 1);
  ExpectFields(Tbl::TabHdrField, {{0, L"lead"}, {1, L"one"}, {5, L""}}, "");

  Tbl::InpFile = L"missing.txt";
  EXPECT_EQ(table.GetHider(), 0);
  EXPECT_EQ(Text(Tbl::TabHdrField, 0), L"lead");  // nothing read, nothing cleared
}

TEST_F(TblTest, TagCutByTheEndOfFileAtEveryPoint) {
  const std::string header = "&12;v";
  const std::wstring header0[] = {L"", L"&", L"&1", L"&12", L"", L""};
  for (size_t k = 0; k <= header.size(); ++k) {
    Reset();
    Tbl::TabHdrField.InsertField(0);
    Data(header.substr(0, k));
    Tbl table;
    ASSERT_EQ(table.GetHider(), 1);
    EXPECT_EQ(Text(Tbl::TabHdrField, 0), header0[k]) << k;
    EXPECT_EQ(Text(Tbl::TabHdrField, 12), k < 4 ? kAbsent : k == 4 ? L"" : L"v") << k;
  }
  const std::string record = "$12;v@";
  const std::wstring record0[] = {L"", L"$", L"$1", L"$12", L"", L"", L""};
  for (size_t k = 0; k <= record.size(); ++k) {
    Reset();
    Tbl::TabRcdField.InsertField(0);
    Tbl::TabRcdField.InsertField(12);
    Data(record.substr(0, k));
    Tbl table;
    ASSERT_TRUE(table.Open(Tbl::InpFile.c_str()));
    EXPECT_EQ(table.GetRecord(), k == record.size() ? 1 : 0) << k;
    EXPECT_EQ(Text(Tbl::TabRcdField, 0), record0[k]) << k;
    EXPECT_EQ(Text(Tbl::TabRcdField, 12), k < 5 ? L"" : L"v") << k;
  }
}

TEST_F(TblTest, RecordTagsEndsBreaksAndEscapes) {
  struct Case {
    std::string data;
    int result;
    Expected fields;
    int breaks;
    size_t firstOst;
  } cases[] = {
      {"$1;first\n@", 1, {{1, L"first"}}, 0, 5},
      {"$1;line one\nline two@", 1, {{1, L"line one line two"}}, 0, 17},
      {"$1;A$1;B@", 1, {{1, L"A|B"}}, 0, 3},
      {"$1;A \\$1;B@", 1, {{1, L"A $1;B"}}, 0, 6},
      {">$1;text@", 1, {{1, L"text"}}, 1, 4},
      {">>$1;a\n>b\n >c@", 1, {{0, L">"}, {1, L"a b  >c"}}, 2, 8},
      {"x>$1;a@", 1, {{0, L"x>"}, {1, L"a"}}, 0, 3},
      {"$3;dropped$2;kept@", 1, {{2, L"kept"}, {3, kAbsent}}, 0, 4},
      {"$1;a\\@b\\\n>c@", 1, {{1, L"a@b\n>c"}}, 0, 6},
      {"$1;a&1;b\\\\@", 1, {{1, L"a&1;b\\"}}, 0, 6},
      {"$1;\nvalue@", 1, {{1, L" value"}}, 0, 6},
      {"$$1;x@", 1, {{0, L"$"}, {1, L"x"}}, 0, 2},
      {"$;zero$1;one@", 1, {{0, L"zero"}, {1, L"one"}}, 0, 7},
      {"@", 1, {{0, L""}, {1, L""}}, 0, 0},
      {"$1;no end  \n", 0, {{1, L"no end "}}, 0, 0},
      {"$1;a\\", 0, {{1, L"a"}}, 0, 0},
      {"$1;a$2\x9F;b@", 1, {{1, L"a$2;b"}}, 0, 5},
      {"$1;a\\\x9F" "b@", 1, {{1, L"ab"}}, 0, 2},
      {"\x9F$1;a@", 0, {{1, L""}}, 0, 0},
      {"", 0, {{1, L""}}, 0, 0},
  };
  for (const Case& c : cases) {
    Reset();
    for (long n : {0L, 1L, 2L}) Tbl::TabRcdField.InsertField(n);
    Data(c.data);
    Tbl table;
    ASSERT_TRUE(table.Open(Tbl::InpFile.c_str()));
    EXPECT_EQ(table.GetRecord(), c.result) << c.data;
    ExpectFields(Tbl::TabRcdField, c.fields, c.data);
    EXPECT_EQ(Tbl::totBreak, c.breaks) << c.data;
    EXPECT_EQ(Tbl::FirstOst, c.firstOst) << c.data;
  }
}

// The put-back slot carries the header's last character to the records, and
// each record starts at the start of a line.
TEST_F(TblTest, HeaderThenRecordsInSequence) {
  Tbl::TabRcdField.InsertField(1);
  Data("&1;head\n$1;r1@>$1;r2\n@\n>$1;r3 @$1;tail");
  Tbl table;
  ASSERT_EQ(table.GetHider(), 1);
  EXPECT_EQ(Text(Tbl::TabHdrField, 1), L"head");
  const std::wstring values[] = {L"r1", L"r2", L"r3"};
  const int breaks[] = {0, 1, 2};
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(table.GetRecord(), 1);
    EXPECT_EQ(Text(Tbl::TabRcdField, 1), values[i]);
    EXPECT_EQ(Tbl::totBreak, breaks[i]);
  }
  EXPECT_EQ(table.GetRecord(), 0);
  EXPECT_EQ(Text(Tbl::TabRcdField, 1), L"tail");
  EXPECT_EQ(table.GetRecord(), 0);
  EXPECT_EQ(Text(Tbl::TabRcdField, 1), L"");
  EXPECT_EQ(Text(Tbl::TabHdrField, 1), L"head");
}

TEST_F(TblTest, BeginFilesAlongTheDirectoryList) {
  Write("p.txt", "&1;cwd&10;cwd");
  Write("a/p.txt", "&1;a&11;a");
  Write("b/p.txt", "&1;b&12;b");
  struct Case {
    std::wstring path;
    std::wstring first;  // who gave field 1
    std::vector<long> read;
  } cases[] = {
      {L"", L"cwd", {10}},
      {L"a;b", L"a", {11, 12}},
      {L"b/;a", L"b", {11, 12}},
      {L"a;", L"a", {11}},
      {L";a", L"cwd", {10, 11}},
      {L"a;;b", L"a", {10, 11, 12}},
      {L"missing;b", L"b", {12}},
      {L"missing", kAbsent, {}},
  };
  for (const Case& c : cases) {
    Reset();
    Tbl::BegParam = L"p.txt";
    Tbl::PathBlank = c.path;
    Tbl().GetBegin();
    EXPECT_EQ(Text(Tbl::TabHdrField, 1), c.first);
    for (long n : {10L, 11L, 12L}) {
      const bool read = std::find(c.read.begin(), c.read.end(), n) != c.read.end();
      EXPECT_EQ(Text(Tbl::TabHdrField, n) != kAbsent, read) << n;
    }
  }
  Reset();
  Tbl::PathBlank = L"a";
  Tbl().GetBegin();  // no file named
  EXPECT_EQ(Text(Tbl::TabHdrField, 1), kAbsent);
}

TEST_F(TblTest, BeginFileKeepsFieldsGivenBefore) {
  Write("p.txt",
        "skipped&1;over\\ridden&2;two\\n \nlines  &1;off&3;x&3;y&4\n&4;last&5");
  Data("&1;data\n@");
  Tbl::BegParam = L"p.txt";
  Tbl table;
  ASSERT_EQ(table.GetHider(), 1);
  table.GetBegin();
  ExpectFields(Tbl::TabHdrField,
               {{0, kAbsent}, {1, L"data"}, {2, L"two\\n lines"}, {3, L"x"}, {4, L"last&5"}}, "");
}

// Any bytes at all: every scanner ends, and nothing reads out of bounds.
TEST_F(TblTest, ArbitraryBytesAndHugeInputs) {
  Tbl::TabRcdField.InsertField(1);
  Data("$1;" + std::string(1 << 20, 'w') + "@");
  Tbl table;
  ASSERT_TRUE(table.Open(Tbl::InpFile.c_str()));
  ASSERT_EQ(table.GetRecord(), 1);
  EXPECT_EQ(Tbl::FirstOst, 1u << 20);

  const char alphabet[] = "&$@>\\;\n\r 019a\x80\xC3\xE2\xF0\xF8\xFF";
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    std::string bytes(random() % 40, ' ');
    for (char& b : bytes) b = alphabet[random() % (sizeof alphabet - 1)];
    Data(bytes);
    Write("p.txt", bytes);
    Tbl::BegParam = L"p.txt";
    Tbl reader;
    ASSERT_EQ(reader.GetHider(), 1);
    Tbl().GetBegin();
    int records = 0;
    while (reader.GetRecord() == 1) ASSERT_LE(++records, 40);
  }
}

}  // namespace
