// Loading blank parts: line kinds, command checks and their messages.
#include <gtest/gtest.h>

#include "template/test_fixture.h"
#include "util/DBString.h"

namespace {

using BlankLoad = BlankTest;

TEST_F(BlankLoad, ClassifiesEveryKindOfLine) {
  LoadPart("text\n>5\n>jump to 5\n>repeat 100:1000\n>A=$12\n\nlast");
  ASSERT_EQ(blank_->Count(), 7);
  const int kinds[] = {Line::kText,  Line::kLabel, Line::kJump, Line::kRepeat,
                       Line::kMacro, Line::kText,  Line::kText};
  const long next[] = {1, 5, 1, 0, 5, 6, 7};
  const long positions[] = {0, 5, 8, 19, 36, 43, 44};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(blank_->LineAt(i).m_Type, kinds[i]) << i;
    EXPECT_EQ(blank_->LineAt(i).m_Next, next[i]) << i;
    EXPECT_EQ(blank_->LineAt(i).m_FilePos, positions[i]) << i;
  }
  EXPECT_EQ(blank_->LineAt(3).m_BlockLines, 100);  // both limits are allowed
  EXPECT_EQ(blank_->LineAt(3).m_Repeat, 1000);
}

TEST_F(BlankLoad, ReadsJumpArguments) {
  struct Case {
    const char* line;
    int cond, isRcd;
    long field;
  } cases[] = {
      {">jump to 5", 0, 0, 0},
      {">\xD0\x9F\xD0\x95\xD0\xA0\xD0\x95\xD0\xA5\xD0\x9E\xD0\x94 5 $3", 2, 1, 3},
      {">\xD0\x8F\xE2\x80\xA6\xD1\x92\xE2\x80\xA6\xE2\x80\xA2\xD0\x8B\xE2\x80\x9E 5", 0, 0, 0},
      {">jump to 5 $3^", 1, 1, 3},
      {">jump to 5 &2", 2, 0, 2},
      {">jump to 5 $3 x", 2, 1, 3},
      {">jump to 5 $", 2, 1, 0},
      {">jump to5$3^", 1, 1, 3},
  };
  for (const Case& c : cases) {
    Fresh();
    LoadPart(std::string(c.line) + "\n>5\n");
    const Line& jump = blank_->LineAt(0);
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
      {">repeat 1:0\n", Tbl::errRepeatCount, ">repeat 1:0\n"},
      {">repeat 1:1001\n", Tbl::errRepeatCount, ">repeat 1:1001\n"},
      {">10\ntext\n>010\n", Tbl::errLabelTwice, "10"},
      {"$12\n>A=$12\n", Tbl::errRedefine, ">A=$12\n"},
      {">A=$12\n>A=&3\n", Tbl::errRedefine, ">A=&3\n"},
      {">A=$12\n>A=$13\n>B=$12\n", Tbl::errRedefine, ">B=$12\n"},
      {">Repeat 3:2\n", Tbl::errCommand, ">Repeat 3:2\n"},
      {">\n", Tbl::errCommand, ">\n"},
      {">A=", Tbl::errCommand, ">A="},
      {">jump to 7\n>5\n", Tbl::errNoLabel, "7"},
  };
  for (const Case& c : cases) {
    Fresh();
    WritePart(1, c.part);
    testing::internal::CaptureStdout();
    EXPECT_EQ(blank_->Load(1), 0) << c.part;
    const std::string expected = DBString(Tbl::Err(c.error)).ToStr() + c.argument + "\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected) << c.part;
    EXPECT_EQ(Report(), expected) << c.part;
  }
}

TEST_F(BlankLoad, PartsAreReadOnceAndRestarted) {
  WritePart(1, "a &1 one\n");
  WritePart(2, "b &1 two\n");
  EXPECT_EQ(blank_->Load(1), 1);
  blank_->Next(0);
  EXPECT_EQ(blank_->Load(1), 1);  // restart: nothing read again
  EXPECT_EQ(blank_->Cur(), -1);
  EXPECT_EQ(blank_->Load(2), 1);
  EXPECT_EQ(blank_->Load(2), 1);
  EXPECT_EQ(blank_->Load(1), 1);
  EXPECT_EQ(Tbl::TabHdrField.FirstValue(1), L" one two one");
  EXPECT_EQ(blank_->Load(3), 0);  // no such part, no message
  EXPECT_EQ(Report(), "");
}

TEST_F(BlankLoad, EmptyPartAndLongLines) {
  LoadPart("");
  EXPECT_EQ(blank_->Next(0), nullptr);
  for (int length : {vexo::kLineMax - 1, vexo::kLineMax, vexo::kLineMax + 1}) {
    Fresh();
    LoadPart(std::string(static_cast<size_t>(length), 'x') + "\n");
    // The line feed after exactly vexo::kLineMax characters is consumed with them.
    EXPECT_EQ(blank_->Count(), length <= vexo::kLineMax ? 1 : 2) << length;
  }
}

}  // namespace
