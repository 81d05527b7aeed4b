#include "import/Decoder.h"

#include <gtest/gtest.h>

#include <string>

namespace vexo {
namespace {

struct Row {
  const char* what;
  const char* encoding;
  std::string input;
  std::string text;  // what comes out before the end or the bad bytes
  std::string bad;   // what stops it; empty: nothing
  bool looksLikeUtf8;
};

const Row kRows[] = {
    {"UTF-8 passes as it is, its mark dropped", "UTF-8", "\xEF\xBB\xBFЖук 😀 a", "Жук 😀 a", "",
     false},
    {"a byte that starts nothing", "utf8", "ab\xF8\x80z", "ab", "\xF8", false},
    {"a lead byte without its continuation", "UTF-8", "ab\xC3(z", "ab", "\xC3", false},
    {"a sequence cut short by the end", "UTF-8", "Жу\xD0", "Жу", "\xD0", false},
    {"CP1251 converted, its bytes no UTF-8", "CP1251", "\xCF\xF0\xE8", "При", "", false},
    {"CP1251 that is UTF-8 as bytes", "CP1251", "Ж", "Р–", "", true},
    {"CP1251 of ASCII only is no sign of UTF-8", "CP1251", "abc", "abc", "", false},
    {"a byte CP1251 leaves undefined", "CP1251", "a\x98z", "a", "\x98", false},
};

// Each input whole, then cut in two at every byte: the same text, the same
// bad bytes, the same judgement on UTF-8.
TEST(Decoder, ResultsDoNotDependOnTheChunks) {
  for (const Row& row : kRows) {
    for (size_t cut = 0; cut <= row.input.size(); ++cut) {
      Decoder decoder(row.encoding);
      ASSERT_TRUE(decoder.Ok()) << row.what;
      std::string text;
      bool ok = true;
      for (const std::string_view chunk :
           {std::string_view(row.input).substr(0, cut), std::string_view(row.input).substr(cut)}) {
        std::string_view piece;
        ok = decoder.Convert(chunk, piece);
        text.append(piece);
        if (!ok) break;
      }
      ok = ok && decoder.Finish();
      EXPECT_EQ(text, row.text) << row.what << ", cut at " << cut;
      EXPECT_EQ(ok ? std::string() : decoder.BadBytes(), row.bad) << row.what << ", cut at " << cut;
      EXPECT_EQ(decoder.LooksLikeUtf8(), row.looksLikeUtf8) << row.what << ", cut at " << cut;
    }
  }
}

}  // namespace
}  // namespace vexo
