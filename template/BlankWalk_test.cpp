// Walking a loaded part: the lines handed out, and the walk's messages.
#include <gtest/gtest.h>

#include "template/test_fixture.h"

namespace {

using BlankWalk = BlankTest;

TEST_F(BlankWalk, JumpsRepeatsAndBreaks) {
  struct Case {
    const char* part;
    int final, breaks;
    std::string expected;  // first characters of the lines, "-" for null
    int breaksLeft;
  } cases[] = {
      // a block of A and B, three passes; a pending break ends it at its last line
      {">repeat 2:3\nA\nB\nC\n", 0, 0, "ABABABC-", 0},
      {">repeat 2:3\nA\nB\nC\n", 0, 1, "ABC-", 0},
      // backward jump: not taken after the last record, breaks untouched
      {">1\nA\n>jump to 1\nB\n", 1, 1, "AB-", 1},
      {">1\nA\n>jump to 1\nB\n", 0, 1, "AB-", 0},
      {">1\nA\n>jump to 1\nB\n", 0, 0, "AAA", 0},
      // forward jump: a pending break cancels it even after the last record
      {">jump to 1\nA\n>1\nB\n", 1, 1, "AB-", 0},
      {">jump to 1\nA\n>1\nB\n", 1, 0, "B-", 0},
      // after the last record a condition that stays true with nothing left
      // to print runs its body twice, then the jump is refused
      {">1\nB\n>jump to 1 $5^\n", 1, 0, "BB-", 0},
      // lines 2-3-4 go round while breaks cancel the jump at 3: a walk that
      // ends by itself is not cut
      {"A\n>9\n>1\n>jump to 3\n>jump to 1 $5^\n>3\nB\n", 0, 2, "AB", 0},
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
  std::string got;
  for (int k = 0; k < 4; ++k) {
    got += Walk(0, 1);
    if (got.back() != 'A') continue;
    Tbl::TabRcdField.SetCurrent(3);
    Tbl::TabRcdField.GetSym();
    Tbl::TabRcdField.GetSym();
  }
  EXPECT_EQ(got, "AAAB");

  // A body that prints nothing runs once more, then the jump is refused; the
  // check holds over a restart until ClrCount clears it.
  Fresh();
  LoadPart(">1\nA\n>jump to 1 $3\nB\n");
  SetField(Tbl::TabRcdField, 3, L"abcdef");
  EXPECT_EQ(Walk(0, 3), "AAB");
  ASSERT_EQ(blank_->Load(1), 1);
  EXPECT_EQ(Walk(0, 3), "AB-");
  ASSERT_EQ(blank_->Load(1), 1);
  blank_->ClrCount();
  EXPECT_EQ(Walk(0, 3), "AAB");
}

}  // namespace
