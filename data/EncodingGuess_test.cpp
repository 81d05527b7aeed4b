#include "data/EncodingGuess.h"

#include <gtest/gtest.h>

#include <string>

namespace vexo {
namespace {

// "Лопата садовая, шт" in each Cyrillic encoding.
const char kCp1251[] = "\xcb\xee\xef\xe0\xf2\xe0 \xf1\xe0\xe4\xee\xe2\xe0\xff, \xf8\xf2";
const char kCp866[] = "\x8b\xae\xaf\xa0\xe2\xa0 \xe1\xa0\xa4\xae\xa2\xa0\xef, \xe8\xe2";
const char kUtf8[] = "Лопата садовая, шт";

struct Row {
  const char* what;
  std::string text;
  const char* name;  // null: no encoding named
};

std::string Str(const char* a, const char* b = "", const char* c = "") {
  return std::string(a) + b + c;
}

const Row kRows[] = {
    {"empty", "", nullptr},
    {"ASCII", "$1;Spade@\n", nullptr},
    {"well-formed UTF-8", Str("$1;", kUtf8, "@\n"), nullptr},
    {"Windows-1251", Str("$1;", kCp1251, "@\n"), "CP1251"},
    {"CP866", Str("$1;", kCp866, "@\n"), "CP866"},
    {"Latin-1",
     "$1;Caf\xe9 chair@\n$1;Gr\xf6\xdf"
     "e 3@\n",
     "ISO-8859-1"},
    {"Windows-1252: a euro sign among Latin-1", "$1;Caf\xe9 \x80 5@\n", "CP1252"},
    {"a byte no Latin encoding defines", "$1;Caf\xe9 \x81@\n", nullptr},
    {"UTF-8 with one stray byte", Str(kUtf8, " \xff ", kUtf8), nullptr},
    {"a control character: not text", Str("$1;", kCp1251, "\x01@\n"), nullptr},
    {"a sequence cut short at the end, after UTF-8", Str(kUtf8, "\xd0"), nullptr},
    {"high bytes that are mostly not Cyrillic letters",
     "\xb0\xb1\xb2\xb3\xb4\xb5\xb6\xb7\xb9\xbb\xbc", nullptr},
};

// One answer for the whole text, however it is cut into pieces: every place
// of a single cut, and one byte at a time.
TEST(EncodingGuess, NamesTheEncodingAWholeTextReadsCleanlyIn) {
  for (const Row& row : kRows) {
    EncodingGuess whole;
    whole.Add(row.text);
    const std::string expected = row.name ? row.name : "(none)";
    const auto name = [](const EncodingGuess& guess) {
      return std::string(guess.Name() ? guess.Name() : "(none)");
    };
    EXPECT_EQ(name(whole), expected) << row.what;
    for (size_t cut = 0; cut <= row.text.size(); ++cut) {
      EncodingGuess pieces;
      pieces.Add(std::string_view(row.text).substr(0, cut));
      pieces.Add(std::string_view(row.text).substr(cut));
      EXPECT_EQ(name(pieces), expected) << row.what << ", cut at " << cut;
    }
    EncodingGuess bytes;
    for (const char c : row.text) bytes.Add(std::string_view(&c, 1));
    EXPECT_EQ(name(bytes), expected) << row.what << ", a byte at a time";
  }
}

}  // namespace
}  // namespace vexo
