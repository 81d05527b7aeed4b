#include "app/TblDataFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "state/Tbl.h"
#include "util/test_scratch.h"

namespace {

// Fields 0 to 3 as "value|value|...", "-" for a missing one, "^" for a separator.
std::wstring Fields(FieldTab& tab) {
  std::wstring text;
  for (long n = 0; n <= 3; ++n) {
    text += std::wstring(n > 0, L'|') + (tab.SetCurrent(n) ? L"" : L"-");
    tab.First(n);
    for (wchar_t c = tab.GetSym(); c; c = tab.GetSym())
      text += c == vexo::kSegmentSeparator ? L'^' : c;
  }
  return text;
}

// No header fields; record fields 0 to 2 declared, as a blank would.
void Reset() {
  vexo::ResetRunState();
  Tbl::InpFile = Tbl::BegParam = L"data.txt";
  for (long n : {0L, 1L, 2L}) Tbl::TabRcdField.InsertField(n);
}

// Reads data as the header ('H') or as a record ('R'): the result, the fields,
// then the character left to the records, or totBreak and FirstOst.
std::wstring Scan(char kind, const std::string& data) {
  Reset();
  std::ofstream("data.txt", std::ios::binary) << data;
  Tbl table;
  wchar_t next = 0;
  if (kind == 'H') {
    const int result = table.GetHider();
    const std::wstring left = table.Get(next) ? std::wstring(1, next) : L"none";
    return std::to_wstring(result) + L" " + Fields(Tbl::TabHdrField) + L" " + left;
  }
  table.Open(L"data.txt");
  const std::wstring result = std::to_wstring(table.GetRecord()) + L" ";
  return result + Fields(Tbl::TabRcdField) + L" " + std::to_wstring(Tbl::totBreak) + L" " +
         std::to_wstring(Tbl::FirstOst);
}

class TblTest : public testing::Test {  // each test in a directory of its own
 protected:
  void SetUp() override { Reset(); }
  ScratchDir m_Dir{true};
};

// ">", "@" or "$" first on a line ends the header and is left to the records.
// No field 0: text before the first tag is lost. Bad bytes as in records.
TEST_F(TblTest, HeaderTagsEscapesAndEnd) {
  // clang-format off
  const std::pair<std::string, std::wstring> cases[] = {
      {"&1;a\n>x", L"1 -|a|-|- >"},             {"lost&;zero&3$1;", L"1 zero&3$1;|-|-|- none"},
      {"&1;a\r\n@", L"1 -|a|-|- @"},            {"&1;A  &1;  &1;&1;B  ", L"1 -|A^^^B|-|- none"},
      {"&1;a>b@c$d", L"1 -|a>b@c$d|-|- none"},  {"&1;A\\&1;B&12x", L"1 -|A&1;B&12x|-|- none"},
      {"&1;a\\\n>b\\\\\n\\>>c\n$", L"1 -|a\n>b\\ >>c|-|- $"},
      {"&18446744073709551619;x&003;y", L"1 -|-|-|x^y none"},
      {"&1;a\\\x9Fz&2\x9F;c\x80q", L"1 -|az&2;c|-|- q"}};
  // clang-format on
  for (const auto& [data, summary] : cases) EXPECT_EQ(Scan('H', data), summary) << data;
}

// ">" first on a line is a sheet break; undeclared field 3 is dropped. A bad byte after "\"
// or among digits is skipped, elsewhere it ends the record, as the end of the file does.
TEST_F(TblTest, RecordTagsEscapesBreaksAndEnd) {
  // clang-format off
  const std::pair<std::string, std::wstring> cases[] = {
      {"$1;first \n@", L"1 |first||- 0 5"},          {"$1;\nvalue@", L"1 | value||- 0 6"},
      {">>$1;a\n>b\n >c@", L"1 >|a b  >c||- 2 8"},   {"x>$3;lost$2;kept@", L"1 x>||kept|- 0 6"},
      {"$$1;x$;z@", L"1 $^z|x||- 0 4"},              {"@", L"1 |||- 0 0"},
      {"$1;no end  \n", L"0 |no end ||- 0 0"},       {"$1;a\\", L"0 |a||- 0 0"},
      {"$1;a\\@b\\\n>c&1;d@", L"1 |a@b\n>c&1;d||- 0 10"},
      {"$1;A \\$1;B$2;  $2;C$2;$2;D@", L"1 |A $1;B|^C^^D|- 0 11"},
      {"$1;a$2\x9F;b\\\x9Fz@", L"1 |a$2;bz||- 0 6"}, {"\x9F$1;a@", L"0 |||- 0 0"}};
  const std::wstring cut[] = {L"0 |x||- 0 0",    L"0 |x$||- 0 0", L"0 |x$0||- 0 0",
                              L"0 |x$02||- 0 0", L"0 |x||- 0 0",  L"0 |x|a|- 0 0"};
  // clang-format on
  for (const auto& [data, summary] : cases) EXPECT_EQ(Scan('R', data), summary) << data;
  const std::string record = "$1;x$02;a@";
  for (size_t k = 4; k < record.size(); ++k) EXPECT_EQ(Scan('R', record.substr(0, k)), cut[k - 4]);
  // A tag's characters wait in a buffer of 32 until the tag is complete or
  // broken; long tags, whole or broken, either side of that size.
  for (size_t n = 29; n <= 34; ++n) {
    const std::string digits(n, '0');
    EXPECT_EQ(Scan('R', "$1;a$" + digits + "x@"),
              L"1 |a$" + std::wstring(n, L'0') + L"x||- 0 " + std::to_wstring(n + 3))
        << n;
    EXPECT_EQ(Scan('R', "$1;a$" + digits + "2;b@"), L"1 |a|b|- 0 2") << n;
  }
  // Plain text is taken in pieces; a value comes through whole on either side
  // of a piece's end, the first piece holding the character before the run.
  const size_t piece = vexo::kTextPiece;
  for (size_t n : {piece - 1, piece, piece + 1, 2 * piece - 1, 2 * piece, 2 * piece + 1}) {
    EXPECT_EQ(Scan('R', "$1;" + std::string(n, 'v') + "\n@"),
              L"1 |" + std::wstring(n, L'v') + L"||- 0 " + std::to_wstring(n))
        << n;
  }
}

// Records each step of the scanners as a short code: the step's letter, its
// number or text, its offset and "h" when its last character is held.
class StepLog : public vexo::ScanListener {
 public:
  void Step(const vexo::ScanEvent& e) override {
    using vexo::ScanStep;
    std::string code;
    switch (e.step) {
      case ScanStep::kOpened:
        code = "O";
        break;
      case ScanStep::kText:
        code = "X" + std::to_string(e.length);
        break;
      case ScanStep::kLineEnd:
        code = "L";
        break;
      case ScanStep::kEscape:
        code = "E" + std::to_string(e.character);
        break;
      case ScanStep::kTag:
        code = "T" + std::to_string(e.number) + (e.field ? "+" : "-");
        break;
      case ScanStep::kBrokenTag:
        code = "B" + std::to_string(e.digits) + ":" + std::to_string(e.character);
        break;
      case ScanStep::kRecordEnd:
        code = "R";
        break;
      case ScanStep::kSheetBreak:
        code = "S";
        break;
      case ScanStep::kHeaderEnd:
        code = "H";
        break;
      case ScanStep::kEnd:
        code = "N";
        break;
    }
    if (e.part != m_Part) log += "| ";
    m_Part = e.part;
    log += code + "@" + std::to_string(e.offset) + (e.held ? "h " : " ");
  }
  void Clear() {
    log.clear();
    m_Part = vexo::ScanPart::kHeader;
  }
  std::string log;

 private:
  vexo::ScanPart m_Part = vexo::ScanPart::kHeader;
};

// Every byte belongs to one step, and a step's offset is right after its
// last byte: a held character (the one that ended a text or a tag's digits)
// is counted to the step before and read again by the next. Bytes that
// cannot be read end the header, end the records, and are passed over after
// a backslash or among a tag's digits.
TEST_F(TblTest, ListenerHearsEveryStepWithItsOffset) {
  const std::string piece(vexo::kTextPiece, 'v');
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {"&1;a\n$1;b\\@c$2:x\n>$9;z@\xff",
       "O@0 T1+@3 X1@5h L@5 H@6h | T1+@8 X1@10h E64@11 X2@13h B1:58@15h X2@17h L@17 S@18 "
       "T9-@21 X1@23h R@23 N@24 "},
      {"&1;\xd0\x9f!\xff&2;x\n@", "O@0 T1+@3 X2@7 N@7 | X4@12h L@12 R@13 N@13 "},
      {"$12\x9f;a\\\x80" "b@", "O@0 H@1h | B2:0@4 X2@7h E0@8 X1@10h R@10 N@10 "},
      {"$1;" + piece + "@", "O@0 H@1h | T1+@3 X1024@1027 X0@1028h R@1028 N@1028 "},
  };
  // clang-format on
  StepLog log;
  vexo::SetScanListener(&log);
  for (const auto& [data, steps] : cases) {
    Reset();
    std::ofstream("data.txt", std::ios::binary) << data;
    log.Clear();
    Tbl table;
    table.GetHider();
    while (table.GetRecord()) {
    }
    EXPECT_EQ(log.log, steps) << data;
  }
  Reset();
  std::ofstream("p.txt", std::ios::binary) << "x&1;a&1;b&2\xff;c";
  Tbl::BegParam = L"p.txt";
  log.Clear();
  Tbl().GetBegin();
  EXPECT_EQ(log.log, "| O@0 T1+@4 T1-@8 B1:0@12 N@14 ");
  vexo::SetScanListener(nullptr);
}

// Empty entries of the list name the working directory. A field keeps the
// first value it was given; a tag of a given field switches reading off.
TEST_F(TblTest, BeginFilesAlongTheDirectoryList) {
  for (const char* dir : {"a", "b"}) std::filesystem::create_directory(dir);
  std::ofstream("p.txt") << "&1;cwd&3;c&0;w";
  std::ofstream("a/p.txt") << "lost&1;a&2;two\\n \nlines  &1;off&3;a&3;x&0\n&0;last&5";
  std::ofstream("b/p.txt") << "&1;b&3;b";
  const std::wstring cases[][2] = {{L"a;b", L"last&5|a|two\\n lines|a"},
                                   {L"b/;a", L"last&5|b|two\\n lines|b"},
                                   {L";b", L"w|cwd|-|c"},
                                   {L"b;", L"-|b|-|b"},
                                   {L"b;;a", L"w|b|two\\n lines|b"}};
  for (const auto& [list, fields] : cases) {
    Reset();
    Tbl::BegParam = L"p.txt";
    Tbl::PathBlank = list;
    Tbl().GetBegin();
    EXPECT_EQ(Fields(Tbl::TabHdrField), fields) << list;
  }
}

}  // namespace
