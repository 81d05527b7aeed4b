// Walking a loaded part: the lines handed out, and the walk's messages.
#include <gtest/gtest.h>

#include "template/test_fixture.h"
#include "util/DBString.h"

namespace {

using BlankWalk = BlankTest;
using Lines = std::vector<int>;

std::string Message(Tbl::numErr e) { return DBString(Tbl::Err(e)).ToStr() + "\n"; }

TEST_F(BlankWalk, JumpsRepeatsAndBreaks) {
  struct Case {
    const char* part;
    int final, breaks;
    Lines expected;
    int breaksLeft;
  } cases[] = {
      // a block of A and B, three passes; a pending break ends it at its last line
      {">repeat 2:3\nA\nB\nC\n", 0, 0, {1, 2, 1, 2, 1, 2, 3, -1}, 0},
      {">repeat 2:3\nA\nB\nC\n", 0, 1, {1, 2, 3, -1}, 0},
      // backward jump: not taken after the last record, breaks untouched
      {">1\nA\n>jump to 1\nB\n", 1, 1, {1, 3, -1}, 1},
      {">1\nA\n>jump to 1\nB\n", 0, 1, {1, 3, -1}, 0},
      {">1\nA\n>jump to 1\nB\n", 0, 0, {1, 1, 1}, 0},
      // forward jump: a pending break cancels it even after the last record
      {">jump to 1\nA\n>1\nB\n", 1, 1, {1, 3, -1}, 0},
      {">jump to 1\nA\n>1\nB\n", 1, 0, {3, -1}, 0},
      // after the last record a condition that stays true with nothing left
      // to print runs its body twice, then the jump is refused
      {">1\nB\n>jump to 1 $5^\n", 1, 0, {1, 1, -1}, 0},
      // lines 2-3-4 go round while breaks cancel the jump at 3: a walk that
      // ends by itself is not cut
      {"A\n>9\n>1\n>jump to 3\n>jump to 1 $5^\n>3\nB\n", 0, 2, {0, 6}, 0},
  };
  for (const Case& c : cases) {
    Fresh();
    LoadPart(c.part);
    Tbl::totBreak = c.breaks;
    EXPECT_EQ(Walk(c.final, static_cast<int>(c.expected.size())), c.expected)
        << c.part << c.final << c.breaks;
    EXPECT_EQ(Tbl::totBreak, c.breaksLeft) << c.part << c.final << c.breaks;
  }
}

TEST_F(BlankWalk, BackwardLoopEndsWhenItsBodyPrintsNothing) {
  LoadPart(">1\nA\n>jump to 1 $3\nB\n");
  SetField(Tbl::TabRcdField, 3, L"abcdef");
  // The body prints two characters a pass: taken while text is left.
  Lines got;
  for (int k = 0; k < 4; ++k) {
    got.push_back(blank_->Next(0) ? blank_->Cur() : -1);
    if (got.back() != 1) continue;
    Tbl::TabRcdField.SetCurrent(3);
    Tbl::TabRcdField.GetSym();
    Tbl::TabRcdField.GetSym();
  }
  EXPECT_EQ(got, (Lines{1, 1, 1, 3}));

  // A body that prints nothing runs once more, then the jump is refused.
  Fresh();
  LoadPart(">1\nA\n>jump to 1 $3\nB\n");
  SetField(Tbl::TabRcdField, 3, L"abcdef");
  EXPECT_EQ(Walk(0, 3), (Lines{1, 1, 3}));
  EXPECT_EQ(blank_->LineAt(0).m_Cycle, 1);
  EXPECT_EQ(blank_->LineAt(3).m_LastOst, 6u);
  blank_->ClrCount();
  EXPECT_EQ(blank_->LineAt(0).m_Cycle, 0);
  EXPECT_EQ(blank_->LineAt(3).m_LastOst, 0u);
}

TEST_F(BlankWalk, EndlessWalkWithoutTextIsEnded) {
  // The cycle 2-3 does not pass the starting line 1, and with no field text
  // the backward-jump check is off: the walk is ended at its first repeat.
  LoadPart("A\n>5\n>1\n>repeat 5:2\n>jump to 1\n");
  EXPECT_EQ(Walk(0, 1), (Lines{0}));
  testing::internal::CaptureStdout();
  EXPECT_EQ(Walk(0, 1), (Lines{-1}));
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            Message(Tbl::errRepeatLines) + Message(Tbl::errCycleJump));
  EXPECT_EQ(blank_->Cur(), 1);
}

}  // namespace
