#include "TextEncoding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

wchar_t Wide(uint32_t value) { return static_cast<wchar_t>(value); }

TEST(AppendUtf8, EveryRangeHasItsBytePattern) {
  struct Case {
    uint32_t value;
    std::string bytes;
    bool complete;
  } cases[] = {
      {0x00, std::string(1, '\0'), true},
      {0x41, "A", true},
      {0x7F, "\x7F", true},
      {0x80, "\xC2\x80", true},
      {0x41F, "\xD0\x9F", true},
      {0x7FF, "\xDF\xBF", true},
      {0x800, "\xE0\xA0\x80", true},
      {0xD800, "\xED\xA0\x80", true},
      {0xFEFF, "\xEF\xBB\xBF", true},
      {0xFFFF, "\xEF\xBF\xBF", true},
      {0x10000, "\xF0\x90\x80\x80", true},
      {0x1F600, "\xF0\x9F\x98\x80", true},
      {0x10FFFF, "\xF4\x8F\xBF\xBF", true},
      {0x110000, "\xF4\x90\x80\x80", true},
      {0x1FFFFF, "\xF7\xBF\xBF\xBF", true},
      {0x200000, "", false},
      {0x7FFFFFFF, "", false},
      {0xFFFFFF7F, "", false},
      {0xFFFFFF80, "\x80", true},
      {0xFFFFFFD0, "\xD0", true},
      {0xFFFFFFFF, "\xFF", true},
  };
  for (const Case& c : cases) {
    const wchar_t text[] = {L'<', Wide(c.value), L'>'};
    std::string out = "x";
    EXPECT_EQ(AppendUtf8(out, text, 3), c.complete) << std::hex << c.value;
    EXPECT_EQ(out, "x<" + c.bytes + ">") << std::hex << c.value;
  }
}

TEST(FileSystemName, WidenedBytesGoBackAndUnwritableNamesFail) {
  struct Case {
    std::wstring name;
    bool ok;
    std::string bytes;
  } cases[] = {
      {L"", true, ""},
      {L"dir/data.txt", true, "dir/data.txt"},
      {{Wide(0xFFFFFFD0), Wide(0xFFFFFF9F), L'.', L't'}, true, "\xD0\x9F.t"},
      {{L'\x41F', L'.', L't'}, true, "\xD0\x9F.t"},
      {{L'a', Wide(0x200000)}, false, ""},
      {{L'a', L'\0', L'b'}, false, ""},
  };
  for (const Case& c : cases) {
    std::string out = "stale";
    EXPECT_EQ(FileSystemName(c.name, out), c.ok);
    if (c.ok) {
      EXPECT_EQ(out, c.bytes);
    }
  }
}

}  // namespace
