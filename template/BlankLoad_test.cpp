// Loading blank parts: line kinds, command checks and their messages.
#include <gtest/gtest.h>

#include "DBString.h"
#include "test_fixture.h"

namespace {

std::string Utf8(const std::wstring& text) { return DBString(text).ToStr(); }

// The message as it stands on the console and in the report.
std::string Message(Tbl::numErr e, const std::string& argument) {
  return Utf8(Tbl::Err(e)) + argument + "\n";
}

using BlankLoad = BlankTest;

TEST_F(BlankLoad, ClassifiesEveryKindOfLine) {
  LoadPart(
      "text\n"
      ">5\n"
      ">jump to 5\n"
      ">repeat 1:2\n"
      ">A=$12\n"
      "\n"
      "last");
  ASSERT_EQ(blank_->Count(), 7);
  const int kinds[] = {Line::kText, Line::kLabel, Line::kJump, Line::kRepeat,
                       Line::kMacro, Line::kText, Line::kText};
  const long next[] = {1, 5, 1, 0, 5, 6, 7};
  const long positions[] = {0, 5, 8, 19, 31, 38, 39};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(blank_->LineAt(i).m_Type, kinds[i]) << i;
    EXPECT_EQ(blank_->LineAt(i).m_Next, next[i]) << i;
    EXPECT_EQ(blank_->LineAt(i).m_FilePos, positions[i]) << i;
  }
  EXPECT_EQ(blank_->Cur(), -1);
}

TEST_F(BlankLoad, ReadsJumpArguments) {
  struct Case {
    const char* line;
    long label;
    int cond;
    int isRcd;
    long field;
  } cases[] = {
      {">jump to 5", 5, 0, 0, 0},
      {">\xD0\x9F\xD0\x95\xD0\xA0\xD0\x95\xD0\xA5\xD0\x9E\xD0\x94 5", 5, 0, 0, 0},
      {">\xD0\x8F\xE2\x80\xA6\xD1\x92\xE2\x80\xA6\xE2\x80\xA2\xD0\x8B\xE2\x80\x9E 5", 5, 0, 0, 0},
      {">jump to 5 $3", 5, 2, 1, 3},
      {">jump to 5 $3^", 5, 1, 1, 3},
      {">jump to 5 &2", 5, 2, 0, 2},
      {">jump to 5 $0^", 5, 1, 1, 0},
      {">jump to 5 $3 x", 5, 2, 1, 3},
      {">jump to 5 $", 5, 2, 1, 0},
      {">jump to5$3^", 5, 1, 1, 3},
      {">jump to", 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    Fresh();
    const std::string label = ">" + std::to_string(c.label) + "\n";
    LoadPart(std::string(c.line) + "\n" + label);
    const Line& jump = blank_->LineAt(0);
    EXPECT_EQ(jump.m_Type, Line::kJump) << c.line;
    EXPECT_EQ(jump.m_Next, 1) << c.line;  // resolved to the label line
    EXPECT_EQ(jump.m_Cond, c.cond) << c.line;
    EXPECT_EQ(jump.m_IsRcd, c.isRcd) << c.line;
    EXPECT_EQ(jump.m_Field, c.field) << c.line;
  }
}

TEST_F(BlankLoad, RefusesBadCommandsWithTheirMessage) {
  struct Case {
    const char* part;
    Tbl::numErr error;
    const char* argument;
  } cases[] = {
      {">jump to 5 #3\n>5\n", Tbl::errJump, ">jump to 5 #3\n"},
      {">jump to 5 $3x\n>5\n", Tbl::errJump, ">jump to 5 $3x\n"},
      {">repeat 0:5\n", Tbl::errBlockLines, ">repeat 0:5\n"},
      {">repeat 101:5\n", Tbl::errBlockLines, ">repeat 101:5\n"},
      {">repeat 3\n", Tbl::errRepeatCount, ">repeat 3\n"},
      {">repeat 3:\n", Tbl::errRepeatCount, ">repeat 3:\n"},
      {">repeat 1:0\n", Tbl::errRepeatCount, ">repeat 1:0\n"},
      {">repeat 1:1001\n", Tbl::errRepeatCount, ">repeat 1:1001\n"},
      {">10\ntext\n>010\n", Tbl::errLabelTwice, "10"},
      {"$12\n>A=$12\n", Tbl::errRedefine, ">A=$12\n"},
      {">A=$12\n>A=&3\n", Tbl::errRedefine, ">A=&3\n"},
      {">A=$12\n>A=$13\n>B=$12\n", Tbl::errRedefine, ">B=$12\n"},
      {">Repeat 3:2\n", Tbl::errCommand, ">Repeat 3:2\n"},
      {">x\n", Tbl::errCommand, ">x\n"},
      {">\n", Tbl::errCommand, ">\n"},
      {">", Tbl::errCommand, ">"},
      {">A=", Tbl::errCommand, ">A="},
      {">jump to 7\n>5\n", Tbl::errNoLabel, "7"},
  };
  for (const Case& c : cases) {
    Fresh();
    WritePart(1, c.part);
    testing::internal::CaptureStdout();
    EXPECT_EQ(blank_->Load(1), 0) << c.part;
    const std::string expected = Message(c.error, c.argument);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected) << c.part;
    EXPECT_EQ(Report(), expected) << c.part;
  }
}

TEST_F(BlankLoad, RepeatLimitsAreInclusive) {
  for (int lines : {1, 100}) {
    for (int passes : {1, 1000}) {
      Fresh();
      LoadPart(">repeat " + std::to_string(lines) + ":" + std::to_string(passes) + "\n");
      EXPECT_EQ(blank_->LineAt(0).m_BlockLines, lines);
      EXPECT_EQ(blank_->LineAt(0).m_Repeat, passes);
    }
  }
}

TEST_F(BlankLoad, PartsAndRestarts) {
  WritePart(1, "a &1 one\n");
  WritePart(2, "b &1 two\n");
  EXPECT_EQ(blank_->Load(1), 1);
  EXPECT_EQ(Tbl::TabHdrField.FirstValue(1), L" one");
  blank_->Next(0);
  EXPECT_EQ(blank_->Load(1), 1);  // restart: nothing read again
  EXPECT_EQ(blank_->Cur(), -1);
  EXPECT_EQ(Tbl::TabHdrField.FirstValue(1), L" one");
  EXPECT_EQ(blank_->Load(2), 1);
  EXPECT_EQ(blank_->Load(2), 1);
  EXPECT_EQ(blank_->Load(1), 1);
  EXPECT_EQ(Tbl::TabHdrField.FirstValue(1), L" one two one");
  EXPECT_EQ(blank_->Load(3), 0);  // no such part, no message
  EXPECT_EQ(Report(), "");
}

TEST_F(BlankLoad, EmptyPartAndLongLines) {
  LoadPart("");
  EXPECT_EQ(blank_->Count(), 0);
  EXPECT_EQ(blank_->Next(0), nullptr);
  // A line longer than the buffer counts as more than one line.
  for (int length : {kLineMax - 2, kLineMax - 1, kLineMax, kLineMax + 1}) {
    Fresh();
    LoadPart(std::string(static_cast<size_t>(length), 'x') + "\n");
    // The line feed after exactly kLineMax characters is consumed with them.
    EXPECT_EQ(blank_->Count(), length <= kLineMax ? 1 : 2) << length;
  }
}

}  // namespace
