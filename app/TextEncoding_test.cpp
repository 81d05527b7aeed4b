#include "TextEncoding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

TEST(AppendUtf8, EveryRangeHasItsBytePattern) {
  const struct {
    uint32_t value;
    std::string bytes;  // empty: dropped
  } cases[] = {{0x00, std::string(1, '\0')},
               {0x7F, "\x7F"},
               {0x80, "\xC2\x80"},
               {0x7FF, "\xDF\xBF"},
               {0x800, "\xE0\xA0\x80"},
               {0xD800, "\xED\xA0\x80"},
               {0xFFFF, "\xEF\xBF\xBF"},
               {0x10000, "\xF0\x90\x80\x80"},
               {0x10FFFF, "\xF4\x8F\xBF\xBF"},
               {0x110000, "\xF4\x90\x80\x80"},
               {0x1FFFFF, "\xF7\xBF\xBF\xBF"},
               {0x200000, ""},
               {0xFFFFFF7F, ""},
               {0xFFFFFF80, "\x80"},
               {0xFFFFFFFF, "\xFF"}};
  for (const auto& c : cases) {
    const wchar_t text[] = {L'<', static_cast<wchar_t>(c.value), L'>'};
    std::string out = "x";
    EXPECT_EQ(AppendUtf8(out, text, 3), !c.bytes.empty()) << std::hex << c.value;
    EXPECT_EQ(out, "x<" + c.bytes + ">") << std::hex << c.value;
  }
}

TEST(FileSystemName, WidenedBytesGoBackAndUnwritableNamesFail) {
  const std::wstring widened{static_cast<wchar_t>(0xFFFFFFD0), static_cast<wchar_t>(0xFFFFFF9F)};
  const std::wstring bad[] = {{L'a', static_cast<wchar_t>(0x200000)}, {L'a', L'\0', L'b'}};
  std::string out = "stale";
  for (const std::wstring& name : {widened + L".t", std::wstring(L"\x41F.t")}) {
    EXPECT_TRUE(FileSystemName(name, out));
    EXPECT_EQ(out, "\xD0\x9F.t");
  }
  for (const std::wstring& name : bad) EXPECT_FALSE(FileSystemName(name, out));
}

}  // namespace
