// Rendering text lines: placeholders, alignment, wrapping, substitutions.
#include <gtest/gtest.h>

#include "template/SubstitutionText.h"
#include "template/test_fixture.h"

namespace {

class LineRender : public BlankTest {
 protected:
  // Loads the part and renders every line that the walk hands out, up to
  // `lines` of them.
  std::vector<std::wstring> Render(int lines) {
    std::vector<std::wstring> got;
    for (int k = 0; k < lines; ++k) {
      Line* line = blank_->Next(0);
      if (line == nullptr) break;
      got.push_back(line->ConvStr());
    }
    return got;
  }
  std::wstring RenderOne() { return Render(1).at(0); }
};

using Rendered = std::vector<std::wstring>;

std::wstring Spaces(int n) { return std::wstring(static_cast<size_t>(n), L' '); }

TEST_F(LineRender, ValueAlignedInItsColumnsAtEveryWidth) {
  // "$1", an alignment mark, spaces and "?" over w columns; values of w-1, w
  // and w+1 letters (no break character, so an overlong one is cut).
  for (int w = 4; w <= 6; ++w) {
    for (int length = w - 1; length <= w + 1; ++length) {
      const std::wstring value(static_cast<size_t>(length), L'v');
      const std::wstring shown = value.substr(0, static_cast<size_t>(w));
      const int room = std::max(0, w - length);
      const struct {
        std::string mark;
        std::wstring expected;
      } aligns[] = {
          {"", shown + Spaces(room)},
          {">", Spaces(room) + shown},
          {"=", Spaces(room / 2) + shown + Spaces(room - room / 2)},
      };
      for (const auto& align : aligns) {
        Fresh();
        LoadPart("$1" + align.mark +
                 std::string(static_cast<size_t>(w) - 3 - align.mark.size(), ' ') + "?\n");
        SetField(Tbl::TabRcdField, 1, value);
        EXPECT_EQ(RenderOne(), align.expected) << "w=" << w << " length=" << length << align.mark;
        EXPECT_EQ(Tbl::TabRcdField.AllOst(), static_cast<size_t>(length - std::min(length, w)));
      }
    }
  }
}

// Record field 1 holds the value, record field 2 "xy", header fields 3
// "xyz" and 4 "h1", "h2" in two segments; each row renders its whole part.
TEST_F(LineRender, PlaceholdersWrapsSegmentsAndCuts) {
  struct Case {
    const char* part;
    const wchar_t* value;
    Rendered expected;
  } cases[] = {
      // where a placeholder's columns end
      {"$1", L"abcdefgh", {L"ab"}},              // end of line: as wide as itself
      {"$1   ", L"abcdefgh", {L"ab"}},           // trailing blanks go before the scan
      {"$1>", L"abcdefgh", {L"abc"}},            // the mark widens it by one
      {"$1?", L"abcdefgh", {L"abc"}},            // "?" closes it
      {"$1$2", L"abcdefgh", {L"abxy"}},          // the next one starts a column on
      {"$1..|.?z", L"abcdefgh", {L"abcdefgz"}},  // a stretch up to "?"
      {"$1...", L"abcdefgh", {L"abcde"}},        // up to the end of the line
      {"$1.$2", L"abcdefgh", {L"abcxy"}},        // up to the column before the "$"
      {"$1=..?", L"abcdefgh", {L"abcdef"}},
      {">%=$1\n[%x]", L"ab", {L"[ax]"}},    // a macro symbol alone is one column
      {">%=$1\n[% x]", L"ab", {L"[abx]"}},  // its blanks widen it
      {"#$1", L"abcdefgh", {L"1ab"}},       // the scan goes on right after a counter
      // wrapping at the last break character that fits
      {"$1        ?\n$1        ?", L"hello world!", {L"hello      ", L"world!     "}},
      {"$1>       ?\n$1>       ?", L"hello world!", {L"      hello", L"     world!"}},
      {"$1  ?\n$1  ?", L"ab,cdef", {L"ab,  ", L"cdef "}},  // the comma stays
      {"$1  ?\n$1  ?", L"abcdefg", {L"abcde", L"fg   "}},  // no break: cut
      {"$1  ?\n$1  ?", L"abc. def", {L"abc. ", L"def  "}},
      {"$1  ?\n$1  ?", L"a-b.cdefg", {L"a-b.c", L"defg "}},  // "-" and "." do not break
      {"$1?\n$1?", L"ab, cd", {L"ab,", L" cd"}},             // a leading blank prints
      // each placeholder prints one segment and consumes its separator
      {"$1  ?\n$1  ?\n$1  ?",
       L"ab\x01"
       L"cd",
       {L"ab   ", L"cd   ", L"     "}},
      // right-aligned over an empty segment: nothing written, separator gone
      {"$1> ?\n$1> ?",
       L"\x01"
       L"cd",
       {L"     ", L"   cd"}},
      {"$$1\n$1", L"abcdef", {L"abc", L"  "}},       // "$$" drops what does not fit
      {"&3\n&3\n&&3", L"", {L"xy", L"z ", L"xyz"}},  // "&&" starts the field again
      // "@@n" takes a segment with its separator; "@n" the first segment only
      {"[@@1]\n[@@1]\n[@4]",
       L"ab\x01"
       L"cd",
       {L"[ab]", L"[cd]", L"[h1]"}},
  };
  for (const Case& c : cases) {
    Fresh();
    SetField(Tbl::TabHdrField, 3, L"xyz");
    SetField(Tbl::TabHdrField, 4, L"h1\x01h2");
    LoadPart(std::string(c.part) + "\n");
    SetField(Tbl::TabRcdField, 1, c.value);
    SetField(Tbl::TabRcdField, 2, L"xy");
    EXPECT_EQ(Render(4), c.expected) << c.part;
  }
}

TEST_F(LineRender, LineNeverGrowsBeyondItsBuffer) {
  for (int prefix = vexo::kLineMax - 13; prefix <= vexo::kLineMax - 2; ++prefix) {
    Fresh();
    LoadPart(std::string(static_cast<size_t>(prefix), 'x') + "@D\n");
    // The date of the rendering is the one before it or, across midnight,
    // the one after it.
    const std::wstring before = GetCurrentTimeString("%d.%m.%Y");
    const std::wstring got = RenderOne();
    const std::wstring after = GetCurrentTimeString("%d.%m.%Y");
    const auto expected = [&](const std::wstring& date) {
      return (std::wstring(static_cast<size_t>(prefix), L'x') + date).substr(0, vexo::kLineMax);
    };
    EXPECT_EQ(got, expected(got == expected(after) ? after : before)) << prefix;
  }
  Fresh();
  LoadPart(std::string(vexo::kLineMax - 1, 'x') + "#\n");
  Tbl::CountList = 99;
  EXPECT_EQ(RenderOne(), std::wstring(vexo::kLineMax - 1, L'x') + L"1");
  // A stretch that runs to the end of a full line, at every alignment of its
  // end: the search for the end stops at the terminating zero.
  for (int at = vexo::kLineMax - 8; at <= vexo::kLineMax - 5; ++at) {
    Fresh();
    std::string line(vexo::kLineMax, '.');
    line.replace(static_cast<size_t>(at), 2, "$1");
    LoadPart(line + "\n");
    std::wstring expected(line.begin(), line.end());
    expected.replace(static_cast<size_t>(at), 2, L"  ");
    EXPECT_EQ(RenderOne(), expected) << at;
  }
}

}  // namespace
