#include "data/Utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace vexo {
namespace {

struct Row {
  std::string bytes;
  int length;  // what Utf8Sequence gives at byte 0
  Utf8Flaw flaw;
};

// Each kind of sequence on both sides of its boundaries.
const Row kRows[] = {
    {"A", 1, Utf8Flaw::kNone},
    {"\x7f", 1, Utf8Flaw::kNone},
    {"\x80", 0, Utf8Flaw::kContinuation},
    {"\xbf", 0, Utf8Flaw::kContinuation},
    {"\xc0\x80", 0, Utf8Flaw::kOverlong},
    {"\xc1\xbf", 0, Utf8Flaw::kOverlong},
    {"\xc2\x80", 2, Utf8Flaw::kNone},
    {"\xdf\xbf", 2, Utf8Flaw::kNone},
    {"\xc3", -1, Utf8Flaw::kCut},
    {"\xc3\x41", 0, Utf8Flaw::kBadContinuation},
    {"\xc3\n", 0, Utf8Flaw::kBadContinuation},
    {"\xc3\xc0", 0, Utf8Flaw::kBadContinuation},
    {"\xe0\x9f\xbf", 0, Utf8Flaw::kOverlong},
    {"\xe0\xa0\x80", 3, Utf8Flaw::kNone},
    {"\xe0\x41\x80", 0, Utf8Flaw::kBadContinuation},
    {"\xec\xbf\xbf", 3, Utf8Flaw::kNone},
    {"\xed\x9f\xbf", 3, Utf8Flaw::kNone},
    {"\xed\xa0\x80", 0, Utf8Flaw::kSurrogate},
    {"\xed\xbf\xbf", 0, Utf8Flaw::kSurrogate},
    {"\xee\x80\x80", 3, Utf8Flaw::kNone},
    {"\xe2\x82", -1, Utf8Flaw::kCut},
    {"\xe2\x82\x41", 0, Utf8Flaw::kBadContinuation},
    {"\xf0\x8f\xbf\xbf", 0, Utf8Flaw::kOverlong},
    {"\xf0\x90\x80\x80", 4, Utf8Flaw::kNone},
    {"\xf4\x8f\xbf\xbf", 4, Utf8Flaw::kNone},
    {"\xf4\x90\x80\x80", 0, Utf8Flaw::kAboveMax},
    {"\xf5\x80\x80\x80", 0, Utf8Flaw::kAboveMax},
    {"\xf7\xbf\xbf\xbf", 0, Utf8Flaw::kAboveMax},
    {"\xf8\x88\x80\x80\x80", 0, Utf8Flaw::kNeverUtf8},
    {"\xff", 0, Utf8Flaw::kNeverUtf8},
    {"\xf0\x9f\x98", -1, Utf8Flaw::kCut},
    {"\xf0\x9f\x98\x41", 0, Utf8Flaw::kBadContinuation},
};

TEST(Utf8Test, LengthAndFlawAgreeOnEverySequence) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(testing::PrintToString(row.bytes));
    EXPECT_EQ(Utf8Sequence(row.bytes, 0), row.length);
    EXPECT_EQ(Utf8FlawAt(row.bytes, 0), row.flaw);
  }
}

}  // namespace
}  // namespace vexo
