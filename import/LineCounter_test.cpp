#include "import/LineCounter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexo {
namespace {

// The position of every byte of text, counted one byte at a time: the rule
// the counter must keep however the text is cut into pieces.
std::vector<TextPosition> Naive(const std::string& text, bool crEndsLines) {
  std::vector<TextPosition> positions;
  TextPosition position;
  for (size_t i = 0; i <= text.size(); ++i) {
    positions.push_back(position);
    if (i == text.size()) break;
    const char c = text[i];
    const bool afterCr = i > 0 && text[i - 1] == '\r';
    if (c == '\n' && !(crEndsLines && afterCr)) {
      position = {position.line + 1, 1};
    } else if (c == '\r' && crEndsLines) {
      position = {position.line + 1, 1};
    } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && !(c == '\n' && afterCr)) {
      ++position.column;
    }
  }
  return positions;
}

const char* const kTexts[] = {
    "",
    "abc",
    "a\nb\n\nc",
    "a\r\nb\r\n\r\nc\r\n",
    "a\rb\r\rc\r",
    "\r\n\n\r\r\n",
    "Жук,\"а\r\nб\"\n😀x",
    "x\r",
};

// Every text, cut in two at every byte and asked for every place, in order
// and backwards, with both line rules.
TEST(LineCounter, PositionsDoNotDependOnThePieces) {
  for (const bool crEndsLines : {true, false}) {
    for (const std::string text : kTexts) {
      const std::vector<TextPosition> want = Naive(text, crEndsLines);
      for (size_t cut = 0; cut <= text.size(); ++cut) {
        for (const bool backwards : {false, true}) {
          LineCounter counter(crEndsLines);
          size_t start = 0;
          for (const size_t end : {cut, text.size()}) {
            counter.Next(std::string_view(text).substr(start, end - start));
            for (size_t k = 0; k <= end - start; ++k) {
              const size_t offset = backwards ? end - k : start + k;
              const TextPosition got = counter.At(offset);
              EXPECT_EQ(got.line, want[offset].line)
                  << "text " << testing::PrintToString(text) << " cut " << cut << " offset "
                  << offset << " cr " << crEndsLines;
              EXPECT_EQ(got.column, want[offset].column)
                  << "text " << testing::PrintToString(text) << " cut " << cut << " offset "
                  << offset << " cr " << crEndsLines;
            }
            start = end;
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace vexo
