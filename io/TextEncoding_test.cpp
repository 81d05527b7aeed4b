#include "io/TextEncoding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

namespace {

using vexo::AppendUtf8;
using vexo::FileSystemName;

// Whatever the input reader decodes goes out byte for byte, surrogates and
// beyond Unicode included; widened command-line bytes go back to the byte.
// ASCII is copied in blocks of sixteen and groups of four, so each pattern is
// tried at every place in two blocks, a group and one more character.
TEST(AppendUtf8, EveryRangeHasItsBytePatternAnywhereAmongAscii) {
  // clang-format off
  const std::pair<uint32_t, std::string> cases[] = {
      {0x00, {'\0'}},                 {0x7F, "\x7F"},                {0x80, "\xC2\x80"},
      {0x7FF, "\xDF\xBF"},            {0x800, "\xE0\xA0\x80"},       {0xD800, "\xED\xA0\x80"},
      {0xFFFF, "\xEF\xBF\xBF"},       {0x10000, "\xF0\x90\x80\x80"}, {0x110000, "\xF4\x90\x80\x80"},
      {0x1FFFFF, "\xF7\xBF\xBF\xBF"}, {0x200000, ""},                {0xFFFFFF7F, ""},
      {0xFFFFFF80, "\x80"},           {0xFFFFFFFF, "\xFF"}};
  // clang-format on
  for (size_t length = 1; length <= 2 * 16 + 4 + 1; ++length) {
    for (size_t at = 0; at < length; ++at) {
      for (const auto& [value, bytes] : cases) {
        std::wstring text(length, L'a');
        text[at] = static_cast<wchar_t>(value);
        std::string out = "x";
        EXPECT_EQ(AppendUtf8(out, text.data(), length), !bytes.empty()) << std::hex << value;
        EXPECT_EQ(out, "x" + std::string(at, 'a') + bytes + std::string(length - at - 1, 'a'))
            << length << " " << at << " " << std::hex << value;
      }
    }
  }
}

// The first two byte ranges go out eight characters side by side: every mix
// of one- and two-byte characters, at every eight-character place of two
// blocks and the group after them.
TEST(AppendUtf8, EveryMixOfOneAndTwoByteCharacters) {
  for (unsigned mix = 0; mix < 256; ++mix) {
    std::wstring eight;
    std::string bytes;
    for (unsigned k = 0; k < 8; ++k) {
      const unsigned code = (mix >> k & 1) ? 0x80 + 0xF0 * k + 0xF * (k == 7) : 0x7F - k;
      eight.push_back(static_cast<wchar_t>(code));
      if (code < 0x80) {
        bytes.push_back(static_cast<char>(code));
      } else {
        bytes += {static_cast<char>(0xC0 | code >> 6), static_cast<char>(0x80 | (code & 0x3F))};
      }
    }
    for (size_t at = 0; at <= 32; at += 8) {
      const std::wstring text = std::wstring(at, L'b') + eight + std::wstring(32 - at, L'c');
      std::string out;
      EXPECT_TRUE(AppendUtf8(out, text.data(), text.size()));
      EXPECT_EQ(out, std::string(at, 'b') + bytes + std::string(32 - at, 'c')) << mix << " " << at;
    }
  }
}

}  // namespace
